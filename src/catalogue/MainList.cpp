#include "catalogue/MainList.h"

#include <algorithm>
#include <numeric>

#include "platform/ScopedFlag.h"

namespace dovoviza {

namespace {

// What identifies an entry across reloads: its store and real name.
bool SameEntry(const StartupItem& a, const StartupItem& b) {
    return a.location == b.location && a.IsDisabled() == b.IsDisabled() &&
           a.storedName == b.storedName;
}

// Hands out remembered icons, and takes from the real list only those of
// files it has not seen as they are now.
class RememberingIcons final : public IIconList {
public:
    using Memory = std::unordered_map<std::string, MainList::RememberedIcon>;
    RememberingIcons(IIconList& icons, IFileSystem& files, Memory& memory)
        : icons_(icons), files_(files), memory_(memory) {}

    void Clear() override {
        icons_.Clear();
        memory_.clear();
    }
    int AddFileIcon(const std::string& path) override {
        std::optional<FileDetails> file = files_.GetDetails(path);
        const auto known = memory_.find(path);
        if (known != memory_.end() && SameFile(known->second.file, file)) return known->second.index;
        const int index = icons_.AddFileIcon(path);
        memory_[path] = MainList::RememberedIcon{std::move(file), index};
        return index;
    }
    int Count() const override { return icons_.Count(); }

private:
    static bool SameFile(const std::optional<FileDetails>& a, const std::optional<FileDetails>& b) {
        if (!a || !b) return !a && !b;
        return a->size == b->size && a->modified == b->modified;
    }

    IIconList& icons_;
    IFileSystem& files_;
    Memory& memory_;
};

// Replaced files leave their old images behind; past this many beyond those
// the rows use, the list starts afresh.
constexpr std::size_t kSpareIcons = 64;

}  // namespace

MainList::MainList(const Platform& platform, FileInfoClass& fileInfo, ITexts& texts,
                   IIconList& icons, StartupFolderPaths folders)
    : platform_(platform), fileInfo_(fileInfo), texts_(texts), icons_(icons),
      folders_(std::move(folders)) {}

bool MainList::LoadRegistryInfo() {
    if (processing_) return false;
    const ScopedFlag processing(processing_);
    std::optional<StartupItem> wasSelected;
    if (const StartupItem* row = Selected()) wasSelected = *row;

    RememberingIcons icons(icons_, platform_.files, iconMemory_);
    if (static_cast<std::size_t>(icons_.Count()) > 2 * rows_.size() + kSpareIcons ||
        iconMemory_.size() > 2 * rows_.size() + kSpareIcons)
        icons.Clear();
    const LoadContext context{platform_, fileInfo_, folders_,
                              StatusWords{texts_.Get(lang::kFileNotFound), texts_.Get(lang::kDisabledWord),
                                          texts_.Get(lang::kSkippedByWindows)},
                              RowDetail::Full, &icons};
    rows_ = LoadAllLocations(context);
    ++generation_;
    if (sortColumn_) Sort();

    selected_.reset();
    if (wasSelected) {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (SameEntry(rows_[i], *wasSelected)) {
                selected_ = i;
                break;
            }
        }
    }
    return true;
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
    ++generation_;
    rows_[index].columns[kColStatus] = disabled ? statusWord : std::string();
}

}  // namespace dovoviza
