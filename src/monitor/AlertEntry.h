#pragma once
// What an alert names: one entry as the monitor's scan found it.

#include <string>
#include <string_view>

#include "catalogue/EntryStore.h"
#include "catalogue/StartupLocation.h"

namespace dovoviza {

struct AlertEntry {
    std::string name;   // the Name column
    std::string value;  // the command, or a folder entry's path in the live folder
    const StartupLocation* location = nullptr;
    std::string path;   // the program path: empty or the not-found word when missing
    // The value's or file's real name; the actions work on this one, as the
    // Name column drops leading blanks.
    std::string storedName;
    // The command the same name had in the same place until now, when it was
    // rewritten with another (updaters do that); empty for a new name.
    std::string previous = {};
    // Windows' own flag tells it not to start the entry.
    bool skippedByWindows = false;

    std::string_view Section() const { return location != nullptr ? location->section : ""; }
    // A new entry is always found in a live store.
    EntryRef Live() const { return EntryRef{location, false, storedName}; }
};

// The alert window, as the monitor sees it: told once per tick at most.
class IAlertSink {
public:
    virtual ~IAlertSink() = default;
    virtual void RaiseAlert(const AlertEntry& entry) = 0;
};

}  // namespace dovoviza
