#include "monitor/Monitor.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "catalogue/Loaders.h"
#include "catalogue/StartupApproved.h"
#include "platform/ScopedFlag.h"
#include "platform/Text.h"

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

// Upper case as the system has it; a plain ASCII text, as nearly every one
// is, without asking the system.
std::string UpperText(ISystem& system, const std::string& text) {
    std::string upper = text;
    for (char& c : upper) {
        if ((c & 0x80) != 0) return system.ToUpper(text);
        c = AsciiUpper(c);
    }
    return upper;
}

MatchKey KeyOf(ISystem& system, const StartupItem& row) {
    return MatchKey{UpperText(system, row.Name()), UpperText(system, row.Value()), row.Section(),
                    UpperText(system, row.columns[kColProcessPath])};
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

// The command a listed live entry of the same place and name had, when it
// differs from the new row's; empty for a name the place did not have.
std::string PreviousCommand(ISystem& system, const std::vector<StartupItem>& rows, const StartupItem& row) {
    for (const StartupItem& listed : rows) {
        if (listed.location != row.location || listed.IsDisabled() || listed.Value() == row.Value()) continue;
        const std::string& a = listed.storedName;
        const std::string& b = row.storedName;
        if (a.size() != b.size()) continue;  // letter case keeps a name's length, bar rare letters
        const bool ascii = std::all_of(a.begin(), a.end(), [](char c) { return (c & 0x80) == 0; });
        if (ascii ? EqualsAsciiNoCase(a, b) : system.ToUpper(a) == system.ToUpper(b)) return listed.Value();
    }
    return {};
}

// What the monitor compares of a row; icons and the costly columns it never reads.
bool SameRows(const std::vector<StartupItem>& a, const std::vector<StartupItem>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].columns != b[i].columns || a[i].storedName != b[i].storedName ||
            a[i].programFound != b[i].programFound)
            return false;
    }
    return true;
}

// Beyond this many program folders the rest are looked at on every tick.
constexpr std::size_t kMostProgramFolderWatches = 64;

}  // namespace

Monitor::Monitor(const Platform& platform, FileInfoClass& fileInfo, ITexts& texts,
                 MainList& mainList, IAlertSink& alerts, IChangeWatcher* watcher)
    : platform_(platform), fileInfo_(fileInfo), texts_(texts), mainList_(mainList),
      alerts_(alerts), watcher_(watcher) {}

std::string Monitor::FolderKey(const std::string& program) const {
    const auto cut = program.find_last_of('\\');
    if (cut == std::string::npos) return std::string();
    // ASCII only: at worst a folder written in two ways is watched twice.
    std::string key = program.substr(0, cut);
    for (char& c : key) c = AsciiUpper(c);
    return key;
}

void Monitor::Watch(std::size_t i) {
    if (watcher_ == nullptr) return;
    const StoreRead& read = CanonicalReads()[i];
    const StartupFolderPaths& folders = mainList_.Folders();
    if (read.location->IsRegistry()) {
        stores_[i].watch = watcher_->WatchKey(read.location->hive, std::string(read.location->StoreKey(read.disabled)));
    } else if (!folders.Enabled(read.location->folder).empty()) {
        stores_[i].watch = watcher_->WatchFolder(read.disabled ? folders.Disabled(read.location->folder)
                                                               : folders.Enabled(read.location->folder));
    }
}

void Monitor::WatchStores() {
    for (std::size_t i = 0; i < stores_.size(); ++i) {
        if (!stores_[i].read) Watch(i);
    }
}

void Monitor::Seed(const std::vector<StartupItem>& rows) {
    const auto& reads = CanonicalReads();
    for (std::size_t i = 0; i < stores_.size(); ++i) {
        WatchedStore& store = stores_[i];
        if (store.read || !store.watch) continue;
        store.rows.clear();
        for (const StartupItem& row : rows) {
            if (row.location == reads[i].location && row.disabled == reads[i].disabled) store.rows.push_back(row);
        }
        store.read = true;
    }
    WatchProgramFolders();
}

bool Monitor::RefreshStores() {
    const auto& reads = CanonicalReads();
    const StartupFolderPaths& folders = mainList_.Folders();
    StoreFlags stale{};
    for (std::size_t i = 0; i < stores_.size(); ++i) {
        WatchedStore& store = stores_[i];
        // Set before the first read, so that no change slips in between.
        if (!store.read) Watch(i);
        // A Startup folder the shell could not name stays empty: nothing to watch.
        const bool unnamed = !reads[i].location->IsRegistry() &&
                             folders.Enabled(reads[i].location->folder).empty();
        stale[i] = !store.read || (!store.watch && !unnamed) || (store.watch && store.watch->Changed());
    }

    // A program file that appears, goes or is replaced changes a row without
    // touching its store: its folder's watch says so, and a folder without a
    // watch has its programs looked for again.
    std::set<std::string> changedFolders, unwatchedFolders;
    for (auto& [folder, watch] : programFolders_) {
        if (!watch) {
            unwatchedFolders.insert(folder);
        } else if (watch->Changed()) {
            changedFolders.insert(folder);
        }
    }
    StoreFlags programsChanged{};
    const bool programsToLookAt = !changedFolders.empty() || !unwatchedFolders.empty();
    for (std::size_t i = 0; programsToLookAt && i < stores_.size(); ++i) {
        for (const StartupItem& row : stores_[i].rows) {
            const std::string folder = FolderKey(row.program);
            if (changedFolders.count(folder) != 0 ||
                (unwatchedFolders.count(folder) != 0 &&
                 FileExist(platform_.files, row.program) != row.programFound)) {
                programsChanged[i] = stale[i] = true;
                break;
            }
        }
    }

    storesRead_ = 0;
    return ReadStores(stale, programsChanged);
}

bool Monitor::ReadStores(const StoreFlags& stale, const StoreFlags& programsChanged) {
    const auto& reads = CanonicalReads();
    bool changed = false;
    std::optional<LoadContext> context;
    for (std::size_t i = 0; i < stores_.size(); ++i) {
        if (!stale[i]) continue;
        if (!context) {
            context.emplace(LoadContext{platform_, fileInfo_, mainList_.Folders(),
                                        StatusWords{texts_.Get(lang::kFileNotFound),
                                                    texts_.Get(lang::kDisabledWord)},
                                        RowDetail::Scan, nullptr});
        }
        std::vector<StartupItem> rows;
        WatchedStore& store = stores_[i];
        // Only the store's values can have changed: one read as it was
        // keeps its row, program file and all.
        context->previous = store.read && !programsChanged[i] ? &store.rows : nullptr;
        const std::size_t before = store.rows.size();
        const std::size_t reused = LoadStore(*context, reads[i], rows);
        ++storesRead_;
        // Rows taken over are as they were; the old ones are left empty.
        const bool same = context->previous != nullptr ? reused == before && rows.size() == before
                                                       : store.read && SameRows(store.rows, rows);
        if (!same) changed = true;
        store.rows = std::move(rows);
        store.read = true;
    }
    if (changed) WatchProgramFolders();
    return changed;
}

std::vector<StartupItem> Monitor::Scan() const {
    std::vector<StartupItem> scan;
    for (const WatchedStore& store : stores_) scan.insert(scan.end(), store.rows.begin(), store.rows.end());
    return scan;
}

void Monitor::WatchProgramFolders() {
    std::map<std::string, std::string> wanted;  // key -> the folder as written
    for (const WatchedStore& store : stores_) {
        for (const StartupItem& row : store.rows) {
            std::string key = FolderKey(row.program);
            std::string folder =
                key.empty() ? std::string() : row.program.substr(0, row.program.find_last_of('\\'));
            wanted.emplace(std::move(key), std::move(folder));
        }
    }
    for (auto it = programFolders_.begin(); it != programFolders_.end();) {
        it = wanted.count(it->first) == 0 ? programFolders_.erase(it) : std::next(it);
    }
    std::size_t watches = 0;
    for (const auto& [key, watch] : programFolders_) watches += watch ? 1 : 0;
    for (const auto& [key, folder] : wanted) {
        if (programFolders_.count(key) != 0) continue;
        std::unique_ptr<IChangeWatch> watch;
        // A bare name is found through the current folder and the search
        // path: it has no one folder to watch.
        if (watcher_ != nullptr && !key.empty() && watches < kMostProgramFolderWatches) {
            watch = watcher_->WatchFolder(folder);
            if (watch) ++watches;
        }
        programFolders_.emplace(key, std::move(watch));
    }
}

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

    if (watcher_ != nullptr) watcher_->Poll();
    const bool storesChanged = RefreshStores();
    if (!storesChanged && !retryEnforcement_ && comparedGeneration_ == mainList_.Generation()) {
        return report;
    }
    std::vector<StartupItem> scan = Scan();
    std::vector<MatchKey> scanKeys;
    scanKeys.reserve(scan.size());
    FirstRowIndex disabledCopies;
    for (std::size_t i = 0; i < scan.size(); ++i) {
        scanKeys.push_back(KeyOf(system, scan[i]));
        if (scan[i].disabled) disabledCopies.emplace(scanKeys.back(), i);
    }

    FirstRowIndex reference = IndexRows(system, mainList_.Rows());
    // The entries the list showed as disabled before this tick: a reload for a
    // new entry must not let a written-back copy of one count as enabled.
    std::unordered_set<MatchKey, MatchKeyHash> wasDisabled;
    for (const StartupItem& row : mainList_.Rows()) {
        if (row.IsDisabled()) wasDisabled.insert(KeyOf(system, row));
    }
    std::optional<StartupItem> newEntry;  // a copy: the scan is read again after enforcement
    std::string previous;
    for (std::size_t i = 0; i < scan.size(); ++i) {
        const auto match = reference.find(scanKeys[i]);
        if (match == reference.end()) {
            // One alert per tick: the list takes in every other new entry of this scan.
            if (newEntry) continue;
            newEntry = scan[i];
            previous = PreviousCommand(system, mainList_.Rows(), scan[i]);
            mainList_.AdoptScan(scan);
            report.reloadedForNewEntry = true;
            reference = IndexRows(system, mainList_.Rows());
            continue;
        }
        // A disabled-store row is how it should be. A live one is a copy to
        // put out again when the entry is disabled: when the list showed it
        // so, or its disabled copy is there beside it, whichever row comes first.
        if (scan[i].disabled) continue;
        const auto twin = disabledCopies.find(scanKeys[i]);
        if (!mainList_.Rows()[match->second].IsDisabled() && twin == disabledCopies.end() &&
            wasDisabled.count(scanKeys[i]) == 0)
            continue;
        report.enforcements.push_back(
            KeepDisabled(scan[i], twin == disabledCopies.end() ? nullptr : &scan[twin->second]));
    }

    retryEnforcement_ = false;
    StoreFlags enforced{};
    for (const Enforcement& enforcement : report.enforcements) {
        if (!enforcement.done) retryEnforcement_ = true;
        for (std::size_t i = 0; enforcement.done && i < stores_.size(); ++i) {
            if (CanonicalReads()[i].location == enforcement.live.location) enforced[i] = true;
        }
    }
    // What this tick changed is read back at once, so that the list shows
    // what is stored now rather than the copies just put out.
    if (std::find(enforced.begin(), enforced.end(), true) != enforced.end()) {
        ReadStores(enforced, StoreFlags{});
        scan = Scan();
        mainList_.AdoptScan(scan);
        report.reloadedForCount = true;
    } else if (mainList_.RowCount() != scan.size()) {
        mainList_.AdoptScan(scan);
        report.reloadedForCount = true;
    }
    comparedGeneration_ = mainList_.Generation();
    // Last, so that whatever the window does when it opens meets a finished tick.
    if (newEntry) {
        report.alert = AlertFromScan(*newEntry);
        report.alert->previous = previous;
        const StartupItem& fresh = *newEntry;
        report.alert->skippedByWindows =
            fresh.location != nullptr &&
            ApprovedFlags(platform_.registry, platform_.system, *fresh.location).Skipped(fresh.storedName);
        Note(journal_, RecordOf(platform_, mainList_.Folders(), report.alert->Live(), "new"));
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
    // Noted as it was before it went, so that it can be put back.
    JournalRecord record = duplicate ? BeforeDelete(journal_, platform_, folders, enforcement.live)
                                     : RecordOf(platform_, folders, enforcement.live, "");
    record.action = "kept-disabled";
    if (duplicate) {
        enforcement.action = Enforcement::Action::DeleteLiveCopy;
        enforcement.done = DeleteEntry(platform_, folders, enforcement.live);
    } else {
        enforcement.action = Enforcement::Action::MoveToDisabled;
        enforcement.done = MoveEntry(platform_, folders, enforcement.live) == MoveResult::Moved;
        record.reason = "moved into the disabled store";
    }
    if (enforcement.done) Note(journal_, std::move(record));
    return enforcement;
}

}  // namespace dovoviza
