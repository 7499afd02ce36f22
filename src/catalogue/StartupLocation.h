#pragma once
// The ten places Windows starts programs from at logon, their "-Disabled"
// stores, the order in which they are read, and how a command names its program.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"
#include "platform/Shell.h"

namespace dovoviza {

enum class LocationKind { Registry, Folder };

struct StartupLocation {
    std::string_view section;  // the name shown in every row, e.g. "Registry -> User Run"
    LocationKind kind;
    // Registry locations only: the hive, the live and disabled key paths, and
    // the Location column's text.
    Hive hive;
    std::string_view enabledKey;
    std::string_view disabledKey;
    std::string_view locationText;
    // Folder locations only: which Startup folder. Their Location text is that
    // folder's path.
    StartupFolderKind folder;

    bool IsRegistry() const { return kind == LocationKind::Registry; }
    std::string_view StoreKey(bool disabled) const { return disabled ? disabledKey : enabledKey; }
};

constexpr std::size_t kLocationCount = 10;

// The ten locations in reading order: each registry location is followed by
// its WOW64 twin; User Run, User RunOnce, Machine Run, Machine RunOnce; the
// user's and then the common Startup folder last.
const std::array<StartupLocation, kLocationCount>& StartupLocations();

// One store to read: a location's live store or its disabled store.
struct StoreRead {
    const StartupLocation* location;
    bool disabled;
};

// The twenty reads in the order every load and every scan makes them: each
// location's live store, then its disabled store.
const std::array<StoreRead, 2 * kLocationCount>& CanonicalReads();

// The key of every registry store, live and disabled.
struct StoreKeyName {
    Hive hive;
    std::string path;
};
std::vector<StoreKeyName> RegistryStoreKeys();

// The location of a Section text (exact match), or nullptr.
const StartupLocation* FindLocation(std::string_view section);

// The Run key of a hive, native or WOW64.
const StartupLocation& RunLocation(Hive hive, bool wow64);

// The disabled twin of a Startup folder: its path followed by "-Disabled\".
std::string DisabledFolderPath(std::string_view enabledFolder);

// The four folder paths the folder locations use. Enabled paths have no
// trailing backslash; the disabled twins end in one.
struct StartupFolderPaths {
    std::string user;
    std::string common;
    std::string userDisabled;
    std::string commonDisabled;

    static StartupFolderPaths FromEnabled(std::string user, std::string common);
    const std::string& Enabled(StartupFolderKind kind) const;
    const std::string& Disabled(StartupFolderKind kind) const;
};

// The program a registry command starts, as the list shows it: the text up to
// the first ".exe" and the one character after it, without surrounding quotes,
// "Empty" when nothing is left, and cut before the first "/". Not trimmed.
std::string ProgramPathFromCommand(std::string_view command);

}  // namespace dovoviza
