#include "catalogue/RegistryAccess.h"

#include "platform/Text.h"

namespace dovoviza {

namespace {

std::string DataText(const RegValue& value) { return DecodeUtf16Le(value.data); }

}  // namespace

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
