#include "catalogue/MainList.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "catalogue/StartupApproved.h"
#include "platform/ScopedFlag.h"

namespace dovoviza {

namespace {

// What identifies an entry across reloads: its store and real name.
bool Stores(const StartupItem& row, const EntryRef& entry) {
    return row.location == entry.location && row.disabled == entry.disabledStore &&
           row.storedName == entry.storedName;
}

// An entry as read from its store, before its program file's details: two
// rows alike in all of it are the same entry, unchanged. It points into its row.
struct ReadText {
    explicit ReadText(const StartupItem& row)
        : location(row.location), disabled(row.disabled), found(row.programFound), type(row.valueType),
          name(row.storedName), value(row.Value()), program(row.program) {}
    const StartupLocation* location;
    bool disabled, found;
    std::uint32_t type;
    std::string_view name, value, program;
    bool operator==(const ReadText&) const = default;
};

struct ReadTextHash {
    std::size_t operator()(const ReadText& key) const noexcept {
        const std::hash<std::string_view> hash;
        std::size_t result = std::hash<const void*>()(key.location) + (key.disabled ? 2 : 0) + (key.found ? 1 : 0);
        for (const std::string_view part : {key.name, key.value, key.program}) result = result * 1000003u ^ hash(part);
        return result ^ key.type;
    }
};

// Rows by what they were read as.
using RowsByText = std::unordered_map<ReadText, StartupItem*, ReadTextHash>;

constexpr std::size_t kDetailColumns[] = {kColProductName, kColDescription, kColCompany,
                                          kColVersion,     kColFileSize,    kColDateCreated,
                                          kColDateAccessed, kColDateModified, kColLocation};

// The first four details are the version strings, which a scan reads too.
constexpr std::size_t kVersionColumns = 4;

bool IsDetailColumn(std::size_t column) {
    return std::find(std::begin(kDetailColumns), std::end(kDetailColumns), column) != std::end(kDetailColumns);
}

// Replaced files leave their old images behind; past this many beyond those
// the rows use, the list starts afresh.
constexpr std::size_t kSpareIcons = 64;

}  // namespace

// A reload between its steps: the store being read and the rows read so far.
struct MainList::PendingLoad {
    explicit PendingLoad(LoadContext loadContext) : context(std::move(loadContext)) {}
    LoadContext context;
    std::size_t store = 0;
    std::optional<StoreCursor> cursor;
    std::vector<StartupItem> rows;
};

MainList::MainList(const Platform& platform, FileInfoClass& fileInfo, ITexts& texts,
                   IIconList& icons, StartupFolderPaths folders)
    : platform_(platform), fileInfo_(fileInfo), texts_(texts), icons_(icons),
      folders_(std::move(folders)),
      details_{platform_, fileInfo_, folders_, StatusWords{}, RowDetail::Full, nullptr} {}

MainList::~MainList() = default;

LoadContext MainList::ContextFor(RowDetail detail) const {
    return LoadContext{platform_, fileInfo_, folders_,
                       StatusWords{texts_.Get(lang::kFileNotFound), texts_.Get(lang::kDisabledWord),
                                   texts_.Get(lang::kSkippedByWindows)},
                       detail, nullptr};
}

bool MainList::LoadRegistryInfo() {
    if (processing_) return false;
    BeginLoad();
    while (ContinueLoad([] { return true; })) {
    }
    return true;
}

void MainList::RestartPendingLoad() {
    // A load that read the stores before this change would bring back what
    // they held then.
    if (pending_) BeginLoad();
}

void MainList::BeginLoad() {
    // Asked for from a message handled during a step: after that step.
    if (processing_) {
        loadAgain_ = true;
        return;
    }
    pending_ = std::make_unique<PendingLoad>(ContextFor(RowDetail::Rows));
}

bool MainList::ContinueLoad(const std::function<bool()>& more) {
    if (processing_) return LoadPending();
    {
        const ScopedFlag processing(processing_);
        try {
            Step(more);
        } catch (...) {
            // A load that failed is dropped, not tried again at every step.
            pending_.reset();
            detailsPending_ = false;
            throw;
        }
    }
    if (std::exchange(loadAgain_, false)) BeginLoad();
    return LoadPending();
}

void MainList::Step(const std::function<bool()>& more) {
    do {
        if (pending_) {
            PendingLoad& load = *pending_;
            const auto& reads = CanonicalReads();
            if (load.store == reads.size()) {
                std::vector<StartupItem> rows = std::move(load.rows);
                pending_.reset();
                Publish(std::move(rows), SelectedEntry());
                return;  // the new rows are shown before their details come
            }
            if (!load.cursor) load.cursor.emplace(load.context, reads[load.store]);
            if (!load.cursor->Next(load.rows)) {
                load.cursor.reset();
                ++load.store;
            }
        } else if (detailsPending_) {
            detailsPending_ = FillNextDetails();
        }
    } while (LoadPending() && more());
}

void MainList::Publish(std::vector<StartupItem> rows, std::optional<EntryRef> wasSelected) {
    // Unchanged entries keep their details while they are read again, so
    // that the columns do not empty and fill again.
    const bool lacking = std::any_of(rows.begin(), rows.end(), [](const StartupItem& row) { return !row.detailsFilled; });
    RowsByText known;
    if (lacking) {
        known.reserve(rows_.size());
        for (StartupItem& row : rows_) known.emplace(ReadText(row), &row);
    }
    for (StartupItem& row : rows) {
        if (row.detailsFilled) continue;
        const auto old = known.find(ReadText(row));
        if (old == known.end()) continue;
        for (const std::size_t column : kDetailColumns) row.columns[column] = old->second->columns[column];
        row.icon = old->second->icon;
    }
    if (static_cast<std::size_t>(icons_.Count()) > 2 * rows.size() + kSpareIcons ||
        iconMemory_.size() > 2 * rows.size() + kSpareIcons) {
        icons_.Clear();
        iconMemory_.clear();
        for (StartupItem& row : rows) row.icon = 0;
    }
    rows_ = std::move(rows);
    ++generation_;
    if (sortColumn_) Sort();
    selected_.reset();
    if (wasSelected) {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (Stores(rows_[i], *wasSelected)) {
                selected_ = i;
                break;
            }
        }
    }
    nextDetails_ = 0;
    detailsPending_ = true;
}

bool MainList::FillNextDetails() {
    while (nextDetails_ < rows_.size() && rows_[nextDetails_].detailsFilled) ++nextDetails_;
    if (nextDetails_ == rows_.size()) {
        // A column of details sorts right only once they are all there.
        if (sortColumn_ && IsDetailColumn(static_cast<std::size_t>(*sortColumn_ - 1))) {
            Sort();
            ++generation_;
        }
        return false;
    }
    // Filled in a copy: a message handled meanwhile (the shell may pump
    // them) can change the rows.
    const std::size_t index = nextDetails_++;
    StartupItem row = rows_[index];
    const std::optional<FileDetails> file =
        row.program.empty() ? std::nullopt : platform_.files.GetDetails(row.program);
    FillDetails(details_, row, file);
    row.icon = IconOf(row.program, file);
    if (index < rows_.size() && Stores(rows_[index], StoreOf(row))) {
        for (const std::size_t column : kDetailColumns) rows_[index].columns[column] = row.columns[column];
        rows_[index].icon = row.icon;
        rows_[index].detailsFilled = true;
    }
    return true;
}

int MainList::IconOf(const std::string& path, const std::optional<FileDetails>& file) {
    // No such file: the shell has no icon for it either, and asking costs
    // milliseconds a path.
    if (!file && path.find('\\') != std::string::npos) return 0;
    const auto known = iconMemory_.find(path);
    if (known != iconMemory_.end()) {
        const std::optional<FileDetails>& was = known->second.file;
        const bool same = (!was && !file) ||
                          (was && file && was->size == file->size && was->modified == file->modified);
        if (same) return known->second.index;
    }
    const int index = icons_.AddFileIcon(path);
    iconMemory_[path] = RememberedIcon{file, index};
    return index;
}

std::optional<EntryRef> MainList::SelectedEntry() const {
    const StartupItem* row = Selected();
    return row != nullptr ? std::optional<EntryRef>(StoreOf(*row)) : std::nullopt;
}

void MainList::AdoptScan(const std::vector<StartupItem>& scan) {
    const std::optional<EntryRef> wasSelected = SelectedEntry();
    RowsByText known;
    known.reserve(rows_.size());
    for (StartupItem& row : rows_) {
        // A row whose details are still to come is read afresh, like a new one.
        if (row.detailsFilled) known.emplace(ReadText(row), &row);
    }
    std::vector<StartupItem> rows;
    rows.reserve(scan.size());
    std::unordered_map<const StartupLocation*, ApprovedFlags> flags;
    const std::string skipped = texts_.Get(lang::kSkippedByWindows);
    for (const StartupItem& read : scan) {
        const auto old = known.find(ReadText(read));
        // The scan read the version strings again: a program replaced in
        // place shows there first.
        if (old != known.end() &&
            std::all_of(std::begin(kDetailColumns), std::begin(kDetailColumns) + kVersionColumns, [&](std::size_t column) {
                return old->second->columns[column] == read.columns[column];
            })) {
            // Each old row matches one scanned row at most (a store holds a
            // name once): it is taken over, and its key goes first, since the
            // key points into it.
            StartupItem* const taken = old->second;
            known.erase(old);
            rows.push_back(std::move(*taken));
            continue;
        }
        StartupItem row = read;
        row.detailsFilled = false;
        if (!row.disabled && row.location != nullptr) {
            auto location = flags.find(row.location);
            if (location == flags.end()) {
                location = flags.emplace(row.location, ApprovedFlags(platform_.registry, platform_.system,
                                                                     *row.location)).first;
            }
            MarkSkipped(location->second, skipped, row);
        }
        rows.push_back(std::move(row));
    }
    pending_.reset();
    rows_.clear();  // what is left of them was taken over
    Publish(std::move(rows), wasSelected);
}

bool MainList::RemoveEntry(const EntryRef& entry) {
    const auto found = std::find_if(rows_.begin(), rows_.end(),
                                    [&](const StartupItem& row) { return Stores(row, entry); });
    if (found == rows_.end()) return false;
    const auto index = static_cast<std::size_t>(found - rows_.begin());
    rows_.erase(found);
    if (selected_ && *selected_ == index) {
        selected_.reset();
    } else if (selected_ && *selected_ > index) {
        --*selected_;
    }
    if (nextDetails_ > index) --nextDetails_;
    ++generation_;
    RestartPendingLoad();
    return true;
}

bool MainList::MarkDisabled(const EntryRef& live, const std::string& statusWord) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (Stores(rows_[i], live)) {
            SetDisabled(i, true, statusWord);
            return true;
        }
    }
    return false;
}

CountTexts MainList::Count_Items() {

    const auto disabled = std::count_if(rows_.begin(), rows_.end(),
                                        [](const StartupItem& row) { return row.WillNotStart(); });
    return CountTexts{"(" + std::to_string(rows_.size()) + ") " + texts_.Get(lang::kStatusItems),
                      "(" + std::to_string(disabled) + ") " + texts_.Get(lang::kStatusDisabled)};
}

bool MainList::ColumnClick(int column) {
    if (rows_.empty() || column < 1 || column > static_cast<int>(kColumnCount)) return false;
    const auto index = static_cast<std::size_t>(column - 1);
    sortAscending_[index] = !sortAscending_[index];
    sortColumn_ = column;
    Sort();
    ++generation_;  // the row order decides which of two twins the watchdog follows
    nextDetails_ = 0;  // rows still without details may have moved up
    return true;
}

std::optional<std::pair<int, bool>> MainList::SortOrder() const {
    if (!sortColumn_) return std::nullopt;
    return std::make_pair(*sortColumn_, sortAscending_[static_cast<std::size_t>(*sortColumn_ - 1)]);
}

void MainList::Sort() {
    const auto column = static_cast<std::size_t>(*sortColumn_ - 1);
    const bool ascending = sortAscending_[column];
    // Upper-case each text once, not once per comparison.
    std::vector<std::string> keys;
    keys.reserve(rows_.size());
    for (const auto& row : rows_) keys.push_back(platform_.system.ToUpper(row.columns[column]));
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
    });

    std::vector<StartupItem> sorted;
    sorted.reserve(rows_.size());
    std::optional<std::size_t> selected;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (selected_ && order[i] == *selected_) selected = i;
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    selected_ = selected;
}

void MainList::Select(std::optional<std::size_t> index) {
    selected_ = (index && *index < rows_.size()) ? index : std::nullopt;
}

const StartupItem* MainList::Selected() const {
    return selected_ ? &rows_[*selected_] : nullptr;
}

void MainList::SetDisabled(std::size_t index, bool disabled, const std::string& statusWord) {
    if (index >= rows_.size()) return;
    rows_[index].disabled = disabled;
    // Windows' flag counts for a live entry only, and enabling clears it.
    rows_[index].skippedByWindows = false;
    RestartPendingLoad();
    ++generation_;
    rows_[index].columns[kColStatus] = disabled ? statusWord : std::string();
}

}  // namespace dovoviza
