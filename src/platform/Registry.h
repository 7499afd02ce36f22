#pragma once
// The registry as the program needs it. Every key is opened in the native
// 64-bit view; the WOW64 locations reach the 32-bit view through their explicit
// "Software\Wow6432Node" path.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dovoviza {

enum class Hive { CurrentUser, LocalMachine };

// Value types, numbered as Windows numbers them.
namespace RegType {
constexpr std::uint32_t None = 0;
constexpr std::uint32_t String = 1;        // REG_SZ
constexpr std::uint32_t ExpandString = 2;  // REG_EXPAND_SZ
constexpr std::uint32_t Binary = 3;
constexpr std::uint32_t Dword = 4;
constexpr std::uint32_t MultiString = 7;
constexpr std::uint32_t Qword = 11;
}  // namespace RegType

// One value exactly as stored: its real name, its type and its bytes.
// String data is UTF-16LE, as Windows keeps it.
struct RegValue {
    std::string name;
    std::uint32_t type = RegType::None;
    std::vector<std::uint8_t> data;
};

// An open key. Closing happens when the object goes away.
class IRegKey {
public:
    virtual ~IRegKey() = default;
    virtual std::optional<std::uint32_t> ValueCount() = 0;
    virtual std::optional<std::uint32_t> SubkeyCount() = 0;
    // The value at an enumeration index (0 upward), whole, whatever its size.
    virtual std::optional<RegValue> EnumValue(std::uint32_t index) = 0;
    // The value of that name (the registry matches names without regard to case).
    virtual std::optional<RegValue> ReadValue(const std::string& name) = 0;
    virtual bool WriteValue(const std::string& name, std::uint32_t type,
                            const std::vector<std::uint8_t>& data) = 0;
    virtual bool DeleteValue(const std::string& name) = 0;
    // The number of values and the time of the last change, which every
    // change of a value moves on; nothing where it cannot be read.
    struct Stamp {
        std::uint32_t values = 0;
        std::uint64_t lastWrite = 0;
        bool operator==(const Stamp&) const = default;
    };
    virtual std::optional<Stamp> ReadStamp() { return std::nullopt; }
};

// A key that passes every call on to another; a base for keys that change
// what one or two calls do.
class ForwardingRegKey : public IRegKey {
public:
    explicit ForwardingRegKey(std::unique_ptr<IRegKey> key) : key_(std::move(key)) {}
    std::optional<std::uint32_t> ValueCount() override { return key_->ValueCount(); }
    std::optional<std::uint32_t> SubkeyCount() override { return key_->SubkeyCount(); }
    std::optional<RegValue> EnumValue(std::uint32_t index) override { return key_->EnumValue(index); }
    std::optional<RegValue> ReadValue(const std::string& name) override { return key_->ReadValue(name); }
    bool WriteValue(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) override {
        return key_->WriteValue(name, type, data);
    }
    bool DeleteValue(const std::string& name) override { return key_->DeleteValue(name); }
    std::optional<Stamp> ReadStamp() override { return key_->ReadStamp(); }

private:
    std::unique_ptr<IRegKey> key_;
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // Opens an existing key; nullptr when it is missing or cannot be opened.
    virtual std::unique_ptr<IRegKey> OpenKey(Hive hive, const std::string& path, bool writable) = 0;
    // Opens a key, creating it and every missing key above it; nullptr on failure.
    virtual std::unique_ptr<IRegKey> CreateKey(Hive hive, const std::string& path) = 0;
    virtual bool KeyExists(Hive hive, const std::string& path) = 0;
};

}  // namespace dovoviza
