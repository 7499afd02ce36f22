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

    icons_.Clear();
    const LoadContext context{platform_, fileInfo_, folders_,
                              StatusWords{texts_.Get(lang::kFileNotFound), texts_.Get(lang::kDisabledWord)},
                              RowDetail::Full, &icons_};
    rows_ = LoadAllLocations(context);
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
                                        [](const StartupItem& row) { return row.IsDisabled(); });
    return CountTexts{"(" + std::to_string(rows_.size()) + ") " + texts_.Get(lang::kStatusItems),
                      "(" + std::to_string(disabled) + ") " + texts_.Get(lang::kStatusDisabled)};
}

bool MainList::ColumnClick(int column) {
    if (rows_.empty() || column < 1 || column > static_cast<int>(kColumnCount)) return false;
    const auto index = static_cast<std::size_t>(column - 1);
    sortAscending_[index] = !sortAscending_[index];
    sortColumn_ = column;
    Sort();
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
    rows_[index].columns[kColStatus] = disabled ? statusWord : std::string();
}

}  // namespace dovoviza
