#pragma once
// Every registry access of the program. None of these reports an error: a
// failure gives an empty text, 0, nullptr or false.
//
// Values are read whole, whatever their length, and names and data are full
// Unicode. The display rules stay as users know them: `EnumRegValueName` and
// `QueryRegString` drop leading blanks (trailing ones stay), and
// `ReadRegString` matches the name exactly, letter case included. Code that
// moves or deletes an entry must use the raw forms (`EnumRegValue`,
// `ReadRegValue`, `WriteRegValue`), which keep the real name, type and bytes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace dovoviza {

// Creates the key when it is missing and stores the data as REG_SZ (UTF-16LE
// with its terminating NUL). True when the value was written.
bool WriteRegString(IRegistry& reg, Hive hive, const std::string& path, const std::string& name,
                    const std::string& data);

// The data of the value whose name equals `name` exactly (letter case
// included), found by walking every value of the key; a later match replaces
// an earlier one. One terminating NUL is dropped. Empty when nothing matches.
std::string ReadRegString(IRegistry& reg, Hive hive, const std::string& path,
                          const std::string& name);

// Removes a value (the registry matches its name without regard to case).
// Callers that must know whether it went can look at the result.
bool DeleteRegValue(IRegistry& reg, Hive hive, const std::string& path, const std::string& name);

// Opens a key for reading; nullptr when it cannot be opened.
std::unique_ptr<IRegKey> OpenRegKey(IRegistry& reg, Hive hive, const std::string& path);

// Mode 0: the number of values; mode 1: the number of subkeys; other modes and
// a null key: 0.
std::uint32_t CountRegEntries(IRegKey* key, int mode);

// The name of the value at an index, up to its first NUL, without leading blanks.
std::string EnumRegValueName(IRegKey* key, std::uint32_t index);

// A value's data decoded from UTF-16LE whatever its type, up to its first NUL,
// without leading blanks.
std::string QueryRegString(IRegKey* key, const std::string& name);

// True for the two types whose data is a command: REG_SZ and REG_EXPAND_SZ.
bool IsTextType(std::uint32_t type);

// "REG_SZ", "REG_BINARY", ...; "type 0x2A" for a number Windows has no name for.
std::string RegTypeName(std::uint32_t type);

// The type RegTypeName names; nothing for any other text.
std::optional<std::uint32_t> RegTypeFromName(std::string_view name);

// A value's data as the Value column shows it. A string is decoded up to its
// first NUL, without leading blanks. Any other type shows its type name and a
// readable form: a number in hex and decimal, a list's strings joined by " | ",
// anything else as hex bytes (the first 64, then the length).
std::string RegDataText(const RegValue& value);

// True when the key can be opened for reading.
bool RegKeyExists(IRegistry& reg, Hive hive, const std::string& path);

// The value at an index exactly as stored.
std::optional<RegValue> EnumRegValue(IRegKey* key, std::uint32_t index);

// The value of that name exactly as stored.
std::optional<RegValue> ReadRegValue(IRegistry& reg, Hive hive, const std::string& path,
                                     const std::string& name);

// Creates the key when it is missing and writes the value with its own name,
// type and bytes. True when the value was written.
bool WriteRegValue(IRegistry& reg, Hive hive, const std::string& path, const RegValue& value);

}  // namespace dovoviza
