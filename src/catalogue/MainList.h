#pragma once
// The main list's rows as the program holds them: reloaded from the stores,
// counted, sorted by a column, with one selected row. The window only draws it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/Loaders.h"
#include "language/Texts.h"

namespace dovoviza {

// The two status-bar panels that count the rows.
struct CountTexts {
    std::string items;     // "(25) " and the items word
    std::string disabled;  // "(3) " and the disabled word
};

class MainList {
public:
    MainList(const Platform& platform, FileInfoClass& fileInfo, ITexts& texts, IIconList& icons,
             StartupFolderPaths folders);

    // Rebuilds every row from the stores. A reload asked for while one runs is
    // ignored (false). A program file's icon is taken once and kept while the
    // file's size and last write time stay the same. Keeps the sort
    // order chosen by the user and selects the same entry again when it is
    // still there.
    bool LoadRegistryInfo();
    bool Processing() const { return processing_; }
    // Counts the loads and in-place changes of the rows, so that a watcher
    // can tell that the list is as it last saw it.
    std::uint64_t Generation() const { return generation_; }

    const std::vector<StartupItem>& Rows() const { return rows_; }
    std::size_t RowCount() const { return rows_.size(); }

    // The row counts with their words, read from the language file now.
    CountTexts Count_Items();

    // A click on header 1 ("Name") to 14 ("Location"): flips that column's
    // order, first click ascending, and sorts by the displayed text without
    // regard to letter case, keeping equal rows in their order. An empty list
    // is left alone, flag included. False when nothing was done.
    bool ColumnClick(int column);
    // The current sort: column 1..14 and direction, or nothing (load order).
    std::optional<std::pair<int, bool>> SortOrder() const;

    void Select(std::optional<std::size_t> index);
    std::optional<std::size_t> SelectedIndex() const { return selected_; }
    const StartupItem* Selected() const;
    // Marks one row disabled (with the status word) or enabled, in place:
    // disable and enable do not reload. Either way Windows' flag no longer
    // counts for the row.
    void SetDisabled(std::size_t index, bool disabled, const std::string& statusWord);

    const StartupFolderPaths& Folders() const { return folders_; }

    // The icon taken for a path, with the file as it was then (nothing: missing).
    struct RememberedIcon {
        std::optional<FileDetails> file;
        int index = 0;
    };

private:
    void Sort();

    const Platform& platform_;
    FileInfoClass& fileInfo_;
    ITexts& texts_;
    IIconList& icons_;
    StartupFolderPaths folders_;
    std::vector<StartupItem> rows_;
    std::unordered_map<std::string, RememberedIcon> iconMemory_;
    bool processing_ = false;
    std::uint64_t generation_ = 0;
    std::array<bool, kColumnCount> sortAscending_{};
    std::optional<int> sortColumn_;
    std::optional<std::size_t> selected_;
};

}  // namespace dovoviza
