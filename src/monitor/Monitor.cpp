#include "monitor/Monitor.h"

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>

#include "platform/ScopedFlag.h"

namespace dovoviza {

namespace {

// The four texts that make two rows the same entry: Name, Value and Process
// Path upper-cased, Section as it is.
struct MatchKey {
    std::string name;
    std::string value;
    std::string section;
    std::string path;
    bool operator==(const MatchKey&) const = default;
};

struct MatchKeyHash {
    std::size_t operator()(const MatchKey& key) const noexcept {
        const std::hash<std::string> hash;
        std::size_t result = hash(key.name);
        for (const std::string* part : {&key.value, &key.section, &key.path}) {
            result = result * 1000003u ^ hash(*part);
        }
        return result;
    }
};

// Key -> position of the first row with that key.
using FirstRowIndex = std::unordered_map<MatchKey, std::size_t, MatchKeyHash>;

MatchKey KeyOf(ISystem& system, const StartupItem& row) {
    return MatchKey{system.ToUpper(row.Name()), system.ToUpper(row.Value()), row.Section(),
                    system.ToUpper(row.columns[kColProcessPath])};
}

// Upper-cases each row once, so that a tick over a thousand entries costs a
// thousand look-ups rather than a million comparisons.
FirstRowIndex IndexRows(ISystem& system, const std::vector<StartupItem>& rows) {
    FirstRowIndex index;
    index.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) index.emplace(KeyOf(system, rows[i]), i);
    return index;
}

AlertEntry AlertFromScan(const StartupItem& item) {
    return AlertEntry{item.Name(), item.Value(), item.location, item.columns[kColProcessPath],
                      item.storedName};
}

}  // namespace

Monitor::Monitor(const Platform& platform, FileInfoClass& fileInfo, ITexts& texts,
                 MainList& mainList, IAlertSink& alerts)
    : platform_(platform), fileInfo_(fileInfo), texts_(texts), mainList_(mainList),
      alerts_(alerts) {}

TickReport Monitor::Tick() {
    TickReport report;
    if (ticking_) {
        report.skipped = TickSkip::TickRunning;
        return report;
    }
    if (mainList_.Processing()) {
        report.skipped = TickSkip::Processing;
        return report;
    }
    const ScopedFlag ticking(ticking_);
    ISystem& system = platform_.system;

    const std::vector<StartupItem> scan =
        LoadCheckInfo(platform_, fileInfo_, mainList_.Folders(), texts_);
    std::vector<MatchKey> scanKeys;
    scanKeys.reserve(scan.size());
    FirstRowIndex disabledCopies;
    for (std::size_t i = 0; i < scan.size(); ++i) {
        scanKeys.push_back(KeyOf(system, scan[i]));
        if (scan[i].disabled) disabledCopies.emplace(scanKeys.back(), i);
    }

    FirstRowIndex reference = IndexRows(system, mainList_.Rows());
    std::optional<std::size_t> newEntry;
    for (std::size_t i = 0; i < scan.size(); ++i) {
        const auto match = reference.find(scanKeys[i]);
        if (match == reference.end()) {
            // One alert per tick: the reload takes in every other new entry of
            // this scan, and one that is still unknown after it has gone again.
            if (newEntry) continue;
            newEntry = i;
            report.reloadedForNewEntry = mainList_.LoadRegistryInfo();
            reference = IndexRows(system, mainList_.Rows());
            continue;
        }
        const StartupItem& row = mainList_.Rows()[match->second];
        // A disabled-store row matching its own disabled row is how it should be.
        if (!row.IsDisabled() || scan[i].disabled) continue;
        const auto twin = disabledCopies.find(scanKeys[i]);
        report.enforcements.push_back(
            KeepDisabled(scan[i], twin == disabledCopies.end() ? nullptr : &scan[twin->second]));
    }

    if (mainList_.RowCount() != scan.size()) {
        report.reloadedForCount = mainList_.LoadRegistryInfo();
    }
    // Last, so that whatever the window does when it opens meets a finished tick.
    if (newEntry) {
        report.alert = AlertFromScan(scan[*newEntry]);
        alerts_.RaiseAlert(*report.alert);
    }
    return report;
}

Enforcement Monitor::KeepDisabled(const StartupItem& live, const StartupItem* disabledCopy) {
    const StartupFolderPaths& folders = mainList_.Folders();
    Enforcement enforcement;
    enforcement.live = StoreOf(live);
    // The live copy is a duplicate only while this scan saw the same entry in
    // the disabled store and it is still there; otherwise it is the last copy,
    // and keeping the entry disabled means moving it, not deleting it.
    const bool duplicate =
        disabledCopy != nullptr &&
        EntryExists(platform_, folders, StoreOf(*disabledCopy));
    if (duplicate) {
        enforcement.action = Enforcement::Action::DeleteLiveCopy;
        enforcement.done = DeleteEntry(platform_, folders, enforcement.live);
    } else {
        enforcement.action = Enforcement::Action::MoveToDisabled;
        enforcement.done = MoveEntry(platform_, folders, enforcement.live) == MoveResult::Moved;
    }
    return enforcement;
}

}  // namespace dovoviza
