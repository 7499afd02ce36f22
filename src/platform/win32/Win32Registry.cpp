#include <windows.h>

#include "platform/win32/Win32Registry.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace dovoviza::win32 {
namespace {

// The registry's own limit for value names, in characters without the NUL.
constexpr DWORD kMaxValueNameChars = 16383;
// A value that keeps changing size while we read it is given up after this many tries.
constexpr int kReadAttempts = 8;
// What the buffers for a value's name and data start with; they grow for
// larger values. Passing the largest possible name buffer every time costs
// five times as much under some systems.
constexpr std::size_t kFirstNameChars = 260;
constexpr std::size_t kFirstDataBytes = 2048;

constexpr REGSAM kReadAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_64KEY;
constexpr REGSAM kWriteAccess = kReadAccess | KEY_SET_VALUE;

HKEY RootOf(Hive hive) {
    return hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

class Win32RegKey final : public IRegKey {
public:
    explicit Win32RegKey(UniqueHKey key) : key_(std::move(key)) {}

    std::optional<std::uint32_t> ValueCount() override {
        DWORD values = 0;
        if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        return values;
    }

    std::optional<Stamp> ReadStamp() override {
        DWORD values = 0;
        FILETIME written{};
        if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS)
            return std::nullopt;
        return Stamp{values, (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime};
    }

    std::optional<std::uint32_t> SubkeyCount() override {
        DWORD subkeys = 0;
        if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        return subkeys;
    }

    std::optional<RegValue> EnumValue(std::uint32_t index) override {
        // The buffers live with the key: asking the key for its largest name
        // and value first costs a walk over all its values on some systems,
        // which made reading a key of a thousand values quadratic.
        if (name_.empty()) {
            name_.resize(kFirstNameChars);
            data_.resize(kFirstDataBytes);
        }
        for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
            DWORD nameLength = static_cast<DWORD>(name_.size());
            DWORD dataSize = static_cast<DWORD>(data_.size());
            DWORD type = REG_NONE;
            const LSTATUS status = RegEnumValueW(key_.get(), index, name_.data(), &nameLength,
                                                 nullptr, &type, data_.data(), &dataSize);
            if (status == ERROR_SUCCESS) {
                RegValue value;
                value.name = Narrow(std::wstring_view(name_.data(), nameLength));
                value.type = type;
                value.data.assign(data_.begin(), data_.begin() + dataSize);
                return value;
            }
            if (status != ERROR_MORE_DATA) return std::nullopt;
            // The name's length is not reported back: the name buffer takes the
            // longest name there can be, the data what was asked for, or double
            // when a writer keeps enlarging the value.
            name_.resize(kMaxValueNameChars + 1);
            data_.resize(std::max<std::size_t>({data_.size() * 2, dataSize}));
        }
        return std::nullopt;
    }

    std::optional<RegValue> ReadValue(const std::string& name) override {
        const std::wstring wideName = Wide(name);
        DWORD size = 0;
        if (RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, nullptr, nullptr, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        std::vector<BYTE> data(std::max<DWORD>(size, 1));
        for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
            DWORD type = REG_NONE;
            size = static_cast<DWORD>(data.size());
            const LSTATUS status =
                RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, data.data(), &size);
            if (status == ERROR_SUCCESS) {
                RegValue value;
                value.name = name;
                value.type = type;
                value.data.assign(data.begin(), data.begin() + size);
                return value;
            }
            if (status != ERROR_MORE_DATA) return std::nullopt;
            data.resize(std::max<std::size_t>(data.size() * 2, size));
        }
        return std::nullopt;
    }

    bool WriteValue(const std::string& name, std::uint32_t type,
                    const std::vector<std::uint8_t>& data) override {
        if (data.size() > MAXDWORD) return false;
        // For string types the system looks one character past the data and adds
        // a terminator when the data lacks one and that character is NUL. A
        // non-NUL guard after the data keeps the stored bytes exactly ours and
        // keeps the system inside our buffer.
        std::vector<BYTE> buffer(data.begin(), data.end());
        if (IsStringType(type)) buffer.insert(buffer.end(), 4, 0xFF);
        const BYTE* bytes = buffer.empty() ? nullptr : buffer.data();
        return RegSetValueExW(key_.get(), Wide(name).c_str(), 0, type, bytes,
                              static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }

    bool DeleteValue(const std::string& name) override {
        return RegDeleteValueW(key_.get(), Wide(name).c_str()) == ERROR_SUCCESS;
    }

private:
    UniqueHKey key_;
    std::vector<wchar_t> name_;  // EnumValue's buffers, kept between calls
    std::vector<BYTE> data_;
};

}  // namespace

std::unique_ptr<IRegKey> Win32Registry::OpenKey(Hive hive, const std::string& path,
                                                bool writable) {
    UniqueHKey key;
    if (RegOpenKeyExW(RootOf(hive), Wide(path).c_str(), 0, writable ? kWriteAccess : kReadAccess,
                      key.put()) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegKey>(std::move(key));
}

std::unique_ptr<IRegKey> Win32Registry::CreateKey(Hive hive, const std::string& path) {
    UniqueHKey key;
    if (RegCreateKeyExW(RootOf(hive), Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        kWriteAccess, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegKey>(std::move(key));
}

bool Win32Registry::KeyExists(Hive hive, const std::string& path) {
    UniqueHKey key;
    const LSTATUS status = RegOpenKeyExW(RootOf(hive), Wide(path).c_str(), 0,
                                         KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put());
    // A key we may not read is still there.
    return status == ERROR_SUCCESS || status == ERROR_ACCESS_DENIED;
}

}  // namespace dovoviza::win32
