#pragma once
// Windows' own flag per startup entry, as its task manager and settings set
// it: a REG_BINARY value of the entry's name under
// "...\Explorer\StartupApproved\{Run, Run32, StartupFolder}" of the entry's
// hive (the common Startup folder's under the machine). Twelve bytes: a
// little-endian flag word whose bit 0 means "Windows will not start this
// entry", then the FILETIME of the change. A value of another type or length
// is no flag, and is never rewritten. RunOnce has no flags.

#include <optional>
#include <string>
#include <unordered_map>

#include "catalogue/StartupLocation.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace dovoviza {

// Where a location's flags are kept; nothing for RunOnce.
struct ApprovedKey {
    Hive hive;
    std::string path;
};
std::optional<ApprovedKey> ApprovedKeyOf(const StartupLocation& location);

// The key as the user finds it in the registry editor.
std::string ApprovedKeyText(const ApprovedKey& key);

// True when the value is a flag that tells Windows to skip the entry.
bool SkippedByWindows(const RegValue& value);

// The flags of one location by the entry's name, upper-cased by the system.
class ApprovedFlags {
public:
    ApprovedFlags(IRegistry& registry, ISystem& system, const StartupLocation& location);
    bool Skipped(const std::string& storedName) const;

private:
    ISystem& system_;
    std::unordered_map<std::string, bool> skipped_;
};

// Clears bit 0 and the time of the entry's flag, keeping its other bits and
// its length, so that Windows starts the entry again. True when no flag
// skips it any more (there was none, or it was cleared).
bool ClearWindowsSkip(IRegistry& registry, const StartupLocation& location,
                      const std::string& storedName);

}  // namespace dovoviza
