#include "catalogue/RegistryAccess.h"

#include <array>
#include <cstdio>

#include "platform/Text.h"

namespace dovoviza {

namespace {

constexpr std::size_t kShownBytes = 64;

std::string DataText(const RegValue& value) { return DecodeUtf16Le(value.data); }

}  // namespace

std::string RegTypeName(std::uint32_t type) {
    static constexpr std::array<const char*, 12> kNames = {
        "REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD",
        "REG_DWORD_BIG_ENDIAN", "REG_LINK", "REG_MULTI_SZ", "REG_RESOURCE_LIST",
        "REG_FULL_RESOURCE_DESCRIPTOR", "REG_RESOURCE_REQUIREMENTS_LIST", "REG_QWORD"};
    if (type < kNames.size()) return kNames[type];
    char text[32];
    std::snprintf(text, sizeof text, "type 0x%X", static_cast<unsigned>(type));
    return text;
}

std::optional<std::uint32_t> RegTypeFromName(std::string_view name) {
    for (std::uint32_t type = 0; type < 12; ++type) {
        if (RegTypeName(type) == name) return type;
    }
    if (name.substr(0, 7) == "type 0x" && name.size() > 7 && name.size() <= 15) {
        std::uint32_t type = 0;
        for (const char c : name.substr(7)) {
            const int digit = HexDigitValue(c);
            if (digit < 0) return std::nullopt;
            type = type * 16 + static_cast<std::uint32_t>(digit);
        }
        return type;
    }
    return std::nullopt;
}

namespace {

std::uint64_t LittleEndian(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t number = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) number = (number << 8) | bytes[i];
    return number;
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char byte[4];
    for (std::size_t i = 0; i < bytes.size() && i < kShownBytes; ++i) {
        std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += byte;
    }
    if (bytes.size() > kShownBytes) text += " ... (" + std::to_string(bytes.size()) + " bytes)";
    return text;
}

std::string JoinedStrings(const std::vector<std::uint8_t>& bytes) {
    std::string all = DecodeUtf16Le(bytes);
    // The list ends in an empty string (two NULs); empty strings at the end
    // are terminators, not entries.
    while (!all.empty() && all.back() == '\0') all.pop_back();
    std::string text;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = all.find('\0', start);
        if (start != 0) text += " | ";
        text += all.substr(start, end - start);
        if (end == std::string::npos) return text;
        start = end + 1;
    }
}

}  // namespace

bool IsTextType(std::uint32_t type) {
    return type == RegType::String || type == RegType::ExpandString;
}

std::string RegDataText(const RegValue& value) {
    if (IsTextType(value.type)) return TrimLeadingSpaces(CutAtNul(DataText(value)));
    std::string text = "[" + RegTypeName(value.type) + "]";
    const std::size_t size = value.data.size();
    const bool number = (value.type == RegType::Dword && size == 4) ||
                        (value.type == RegType::Qword && size == 8);
    if (number) {
        const std::uint64_t n = LittleEndian(value.data);
        char hex[24];
        std::snprintf(hex, sizeof hex, size == 4 ? "0x%08llX" : "0x%016llX",
                      static_cast<unsigned long long>(n));
        return text + " " + hex + " (" + std::to_string(n) + ")";
    }
    const std::string shown =
        value.type == RegType::MultiString ? JoinedStrings(value.data) : HexBytes(value.data);
    return shown.empty() ? text : text + " " + shown;
}

bool WriteRegString(IRegistry& reg, Hive hive, const std::string& path, const std::string& name,
                    const std::string& data) {
    const auto key = reg.CreateKey(hive, path);
    return key && key->WriteValue(name, RegType::String, EncodeUtf16LeWithNul(data));
}

std::string ReadRegString(IRegistry& reg, Hive hive, const std::string& path,
                          const std::string& name) {
    // Same rights as the writes beside it: a setting the program could not
    // change reads as missing, so it falls back to its default.
    const auto key = reg.OpenKey(hive, path, true);
    if (!key) return std::string();
    std::string result;
    for (std::uint32_t index = 0;; ++index) {
        const auto value = key->EnumValue(index);
        if (!value) break;
        if (value->name != name) continue;
        result = DataText(*value);
        if (!result.empty() && result.back() == '\0') result.pop_back();
    }
    return result;
}

bool DeleteRegValue(IRegistry& reg, Hive hive, const std::string& path, const std::string& name) {
    const auto key = reg.OpenKey(hive, path, true);
    return key && key->DeleteValue(name);
}

std::unique_ptr<IRegKey> OpenRegKey(IRegistry& reg, Hive hive, const std::string& path) {
    return reg.OpenKey(hive, path, false);
}

std::uint32_t CountRegEntries(IRegKey* key, int mode) {
    if (!key) return 0;
    switch (mode) {
        case 0: return key->ValueCount().value_or(0);
        case 1: return key->SubkeyCount().value_or(0);
        default: return 0;
    }
}

std::string EnumRegValueName(IRegKey* key, std::uint32_t index) {
    const auto value = EnumRegValue(key, index);
    if (!value) return std::string();
    return TrimLeadingSpaces(CutAtNul(value->name));
}

std::string QueryRegString(IRegKey* key, const std::string& name) {
    if (!key) return std::string();
    const auto value = key->ReadValue(name);
    if (!value) return std::string();
    return TrimLeadingSpaces(CutAtNul(DataText(*value)));
}

bool RegKeyExists(IRegistry& reg, Hive hive, const std::string& path) {
    return OpenRegKey(reg, hive, path) != nullptr;
}

std::optional<RegValue> EnumRegValue(IRegKey* key, std::uint32_t index) {
    if (!key) return std::nullopt;
    return key->EnumValue(index);
}

std::optional<RegValue> ReadRegValue(IRegistry& reg, Hive hive, const std::string& path,
                                     const std::string& name) {
    const auto key = OpenRegKey(reg, hive, path);
    if (!key) return std::nullopt;
    return key->ReadValue(name);
}

bool WriteRegValue(IRegistry& reg, Hive hive, const std::string& path, const RegValue& value) {
    const auto key = reg.CreateKey(hive, path);
    return key && key->WriteValue(value.name, value.type, value.data);
}

}  // namespace dovoviza
