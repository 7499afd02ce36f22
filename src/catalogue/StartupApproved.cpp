#include "catalogue/StartupApproved.h"

#include "catalogue/RegistryAccess.h"

namespace dovoviza {

namespace {

constexpr std::size_t kFlagBytes = 12;
constexpr const char* kApproved = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";

bool IsFlag(const RegValue& value) {
    return value.type == RegType::Binary && value.data.size() == kFlagBytes;
}

}  // namespace

std::optional<ApprovedKey> ApprovedKeyOf(const StartupLocation& location) {
    if (!location.IsRegistry()) {
        const Hive hive = location.folder == StartupFolderKind::Common ? Hive::LocalMachine : Hive::CurrentUser;
        return ApprovedKey{hive, std::string(kApproved) + "StartupFolder"};
    }
    if (location.enabledKey.find("RunOnce") != std::string_view::npos) return std::nullopt;
    const bool wow64 = location.enabledKey.find("Wow6432Node") != std::string_view::npos;
    return ApprovedKey{location.hive, std::string(kApproved) + (wow64 ? "Run32" : "Run")};
}

std::string ApprovedKeyText(const ApprovedKey& key) {
    return (key.hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") + key.path;
}

bool SkippedByWindows(const RegValue& value) { return IsFlag(value) && (value.data[0] & 1) != 0; }

ApprovedFlags::ApprovedFlags(IRegistry& registry, ISystem& system, const StartupLocation& location)
    : system_(system) {
    const auto where = ApprovedKeyOf(location);
    if (!where) return;
    const auto key = OpenRegKey(registry, where->hive, where->path);
    for (std::uint32_t i = 0;; ++i) {
        const auto value = EnumRegValue(key.get(), i);
        if (!value) break;
        skipped_[system_.ToUpper(value->name)] = SkippedByWindows(*value);
    }
}

bool ApprovedFlags::Skipped(const std::string& storedName) const {
    if (skipped_.empty()) return false;
    const auto found = skipped_.find(system_.ToUpper(storedName));
    return found != skipped_.end() && found->second;
}

bool ClearWindowsSkip(IRegistry& registry, const StartupLocation& location,
                      const std::string& storedName) {
    const auto where = ApprovedKeyOf(location);
    if (!where) return true;
    auto value = ReadRegValue(registry, where->hive, where->path, storedName);
    if (!value || !SkippedByWindows(*value)) return true;
    value->data[0] = static_cast<std::uint8_t>(value->data[0] & ~1u);
    for (std::size_t i = 4; i < kFlagBytes; ++i) value->data[i] = 0;
    return WriteRegValue(registry, where->hive, where->path, *value);
}

}  // namespace dovoviza
