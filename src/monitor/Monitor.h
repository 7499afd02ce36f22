#pragma once
// The watchdog: every tick rescans the stores and compares the scan with the
// main list as last loaded. A new entry reloads the list and raises an alert;
// an entry the list shows as disabled that turns up in its live store is put
// back out of it; differing row counts reload the list.

#include <optional>
#include <vector>

#include "catalogue/FileDetails.h"
#include "catalogue/MainList.h"
#include "language/Texts.h"
#include "monitor/AlertEntry.h"
#include "monitor/ScanList.h"
#include "catalogue/EntryStore.h"
#include "platform/Platform.h"

namespace dovoviza {

enum class TickSkip {
    None,        // the tick ran
    TickRunning, // another tick is still running (re-entered through a nested message loop)
    Processing,  // the main list is being reloaded
};

// What the monitor did about a live copy of an entry the main list shows as disabled.
struct Enforcement {
    enum class Action {
        DeleteLiveCopy,  // the disabled copy is there: the live one is a duplicate
        MoveToDisabled,  // the disabled copy is gone: the live one is the only copy
    };
    Action action = Action::DeleteLiveCopy;
    EntryRef live;
    bool done = false;  // false: nothing changed; tried again next tick
};

struct TickReport {
    TickSkip skipped = TickSkip::None;
    std::optional<AlertEntry> alert;
    std::vector<Enforcement> enforcements;
    bool reloadedForNewEntry = false;
    bool reloadedForCount = false;
};

class Monitor {
public:
    // The folder paths are the main list's.
    Monitor(const Platform& platform, FileInfoClass& fileInfo, ITexts& texts, MainList& mainList,
            IAlertSink& alerts);
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    // One timer tick. Never pumps messages; the alert is raised last, after
    // every store change and reload of this tick.
    TickReport Tick();

private:
    Enforcement KeepDisabled(const StartupItem& live, const StartupItem* disabledTwin);

    const Platform& platform_;
    FileInfoClass& fileInfo_;
    ITexts& texts_;
    MainList& mainList_;
    IAlertSink& alerts_;
    bool ticking_ = false;
};

}  // namespace dovoviza
