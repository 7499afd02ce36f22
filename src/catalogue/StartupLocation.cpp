#include "catalogue/StartupLocation.h"

#include <utility>

#include "catalogue/CommandText.h"

namespace dovoviza {

namespace {

constexpr StartupLocation Reg(std::string_view section, Hive hive, std::string_view enabledKey,
                              std::string_view disabledKey, std::string_view locationText) {
    return StartupLocation{section, LocationKind::Registry, hive, enabledKey, disabledKey,
                           locationText, StartupFolderKind::User};
}

constexpr StartupLocation Folder(std::string_view section, StartupFolderKind folder) {
    return StartupLocation{section, LocationKind::Folder, Hive::CurrentUser, {}, {}, {}, folder};
}

constexpr Hive kUser = Hive::CurrentUser;
constexpr Hive kMachine = Hive::LocalMachine;

constexpr std::array<StartupLocation, kLocationCount> kLocations{
    Reg("Registry -> User Run", kUser,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled",
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
    Reg("Registry -> User Run (WOW64)", kUser,
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled",
        "HKEY_CURRENT_USER\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"),
    Reg("Registry -> User RunOnce", kUser,
        "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
        "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce-Disabled",
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"),
    Reg("Registry -> User RunOnce (WOW64)", kUser,
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce-Disabled",
        "HKEY_CURRENT_USER\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce"),
    Reg("Registry -> Machine Run", kMachine,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled",
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
    Reg("Registry -> Machine Run (WOW64)", kMachine,
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled",
        "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"),
    Reg("Registry -> Machine RunOnce", kMachine,
        "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
        "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce-Disabled",
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"),
    Reg("Registry -> Machine RunOnce (WOW64)", kMachine,
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce-Disabled",
        "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce"),
    Folder("Startup Folder -> User", StartupFolderKind::User),
    Folder("Startup Folder -> Common", StartupFolderKind::Common),
};

constexpr std::array<StoreRead, 2 * kLocationCount> MakeReads() {
    std::array<StoreRead, 2 * kLocationCount> reads{};
    for (std::size_t i = 0; i < kLocationCount; ++i) {
        reads[2 * i] = StoreRead{&kLocations[i], false};
        reads[2 * i + 1] = StoreRead{&kLocations[i], true};
    }
    return reads;
}

constexpr std::array<StoreRead, 2 * kLocationCount> kReads = MakeReads();

}  // namespace

const std::array<StartupLocation, kLocationCount>& StartupLocations() { return kLocations; }

const std::array<StoreRead, 2 * kLocationCount>& CanonicalReads() { return kReads; }

std::vector<StoreKeyName> RegistryStoreKeys() {
    std::vector<StoreKeyName> keys;
    for (const StoreRead& read : kReads) {
        if (read.location->IsRegistry()) {
            keys.push_back(StoreKeyName{read.location->hive, std::string(read.location->StoreKey(read.disabled))});
        }
    }
    return keys;
}

const StartupLocation* FindLocation(std::string_view section) {
    for (const auto& location : kLocations) {
        if (location.section == section) return &location;
    }
    return nullptr;
}

const StartupLocation& RunLocation(Hive hive, bool wow64) {
    // User Run and its twin lead the table, Machine Run and its twin follow the RunOnce pair.
    return kLocations[(hive == Hive::LocalMachine ? 4 : 0) + (wow64 ? 1 : 0)];
}

std::string DisabledFolderPath(std::string_view enabledFolder) {
    return std::string(enabledFolder) + "-Disabled\\";
}

StartupFolderPaths StartupFolderPaths::FromEnabled(std::string user, std::string common) {
    StartupFolderPaths paths;
    paths.userDisabled = DisabledFolderPath(user);
    paths.commonDisabled = DisabledFolderPath(common);
    paths.user = std::move(user);
    paths.common = std::move(common);
    return paths;
}

const std::string& StartupFolderPaths::Enabled(StartupFolderKind kind) const {
    return kind == StartupFolderKind::User ? user : common;
}

const std::string& StartupFolderPaths::Disabled(StartupFolderKind kind) const {
    return kind == StartupFolderKind::User ? userDisabled : commonDisabled;
}

std::string ProgramPathFromCommand(std::string_view command) {
    std::string path(command);
    // Only the first ".exe" counts: a quoted path keeps its closing quote,
    // an unquoted one the blank before its arguments.
    if (const std::size_t exe = FindExe(path, false); exe != std::string::npos) {
        path = KeepThroughCharAfterExe(path, exe);
    }
    if (!path.empty() && path.front() == '"') path = DropFirstAndLastChar(path);
    if (path.empty()) path = "Empty";
    // A "/" starts switches, even inside what looked like the path.
    if (const std::size_t slash = path.find('/'); slash != std::string::npos) path.resize(slash);
    return path;
}

}  // namespace dovoviza
