#pragma once
// The watchdog: every tick compares the stores with the main list as last
// loaded. A new entry reloads the list and raises an alert; an entry the list
// shows as disabled that turns up in its live store is put back out of it;
// differing row counts reload the list. With a watcher, a tick re-reads only
// the stores whose watch saw a change, and one with no change anywhere, in
// the stores, the program files or the list, does nothing at all.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/FileDetails.h"
#include "catalogue/MainList.h"
#include "language/Texts.h"
#include "monitor/AlertEntry.h"
#include "monitor/ScanList.h"
#include "catalogue/EntryStore.h"
#include "history/Journal.h"
#include "platform/ChangeWatch.h"
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
    // The folder paths are the main list's. Without a watcher every tick reads
    // every store.
    Monitor(const Platform& platform, FileInfoClass& fileInfo, ITexts& texts, MainList& mainList,
            IAlertSink& alerts, IChangeWatcher* watcher = nullptr);
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    // One timer tick. Never pumps messages; the alert is raised last, after
    // every store change and reload of this tick.
    TickReport Tick();

    // Sets the watch of every store not read yet, for a load about to read
    // them all; Seed then takes that load's rows as what the stores held,
    // so that the first tick reads only what changed since. A store whose
    // watch could not be set is read by the tick all the same.
    void WatchStores();
    void Seed(const std::vector<StartupItem>& rows);

    // Where what the watchdog sees and does is noted; none by default.
    void SetJournal(IJournal* journal) { journal_ = journal; }

    // How many stores the last tick read again.
    std::size_t StoresRead() const { return storesRead_; }

private:
    // One of the twenty stores as last read, and its watch (none: read on
    // every tick).
    struct WatchedStore {
        std::unique_ptr<IChangeWatch> watch;
        std::vector<StartupItem> rows;
        bool read = false;
    };

    using StoreFlags = std::array<bool, 2 * kLocationCount>;
    // Reads again every store that may have changed; true when a row did.
    bool RefreshStores();
    void Watch(std::size_t store);
    // Reads the stale stores; those whose programs did not change keep the
    // rows of values read as they were.
    bool ReadStores(const StoreFlags& stale, const StoreFlags& programsChanged);
    // Every store's rows as last read, in the fixed order.
    std::vector<StartupItem> Scan() const;
    void WatchProgramFolders();
    std::string FolderKey(const std::string& program) const;
    Enforcement KeepDisabled(const StartupItem& live, const StartupItem* disabledTwin);

    const Platform& platform_;
    FileInfoClass& fileInfo_;
    ITexts& texts_;
    MainList& mainList_;
    IAlertSink& alerts_;
    IChangeWatcher* watcher_;
    std::array<WatchedStore, 2 * kLocationCount> stores_;
    // The folders of the programs the rows start, upper-cased, with their
    // watches; a folder without one is looked at on every tick.
    std::map<std::string, std::unique_ptr<IChangeWatch>> programFolders_;
    std::optional<std::uint64_t> comparedGeneration_;
    bool retryEnforcement_ = false;
    std::size_t storesRead_ = 0;
    bool ticking_ = false;
    IJournal* journal_ = nullptr;
};

}  // namespace dovoviza
