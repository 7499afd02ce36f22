#pragma once
// The main list's rows as the program holds them: reloaded from the stores,
// counted, sorted by a column, with one selected row. The window only draws it.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/EntryStore.h"
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
    ~MainList();
    MainList(const MainList&) = delete;
    MainList& operator=(const MainList&) = delete;

    // Rebuilds every row from the stores, details and all. A reload asked
    // for while one runs is ignored (false); one begun with BeginLoad is
    // dropped for it. A program file's icon is taken once and kept while the
    // file's size and last write time stay the same. Keeps the sort
    // order chosen by the user and selects the same entry again when it is
    // still there.
    bool LoadRegistryInfo();
    // The same reload in steps, so that a window can answer between them:
    // BeginLoad, then ContinueLoad while it returns true. The rows stay as
    // they were until every store is read, then are replaced in one go, with
    // the details of unchanged entries as they were; then each row's details
    // (version strings, size, dates, Location, icon) are read again in place.
    void BeginLoad();
    // Works while `more` says there is time, at least one entry's worth.
    // True while work remains.
    bool ContinueLoad(const std::function<bool()>& more);
    // Work remains: stores to read or details to fill.
    bool LoadPending() const { return pending_ != nullptr || detailsPending_; }
    // A reload is running or its stores are not all read: the rows are the old ones.
    bool Processing() const { return processing_ || pending_ != nullptr; }

    // Takes the watchdog's rows (every store in the fixed order, as a scan
    // reads them) as the list's, keeping the rows of entries that are
    // unchanged whole; the others get their details as ContinueLoad goes on.
    void AdoptScan(const std::vector<StartupItem>& scan);
    // Takes one entry's row out in place, after the entry was deleted.
    bool RemoveEntry(const EntryRef& entry);
    // Marks the live entry's row disabled in place, after it was moved into
    // its disabled store. False when the list has no such row.
    bool MarkDisabled(const EntryRef& live, const std::string& statusWord);
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
    struct PendingLoad;
    LoadContext ContextFor(RowDetail detail) const;
    void Step(const std::function<bool()>& more);
    void RestartPendingLoad();
    // The new rows in place of the old, keeping selection, sort and the
    // details of entries that did not change.
    std::optional<EntryRef> SelectedEntry() const;
    void Publish(std::vector<StartupItem> rows, std::optional<EntryRef> wasSelected);
    bool FillNextDetails();
    int IconOf(const std::string& path, const std::optional<FileDetails>& file);
    void Sort();

    const Platform& platform_;
    FileInfoClass& fileInfo_;
    ITexts& texts_;
    IIconList& icons_;
    StartupFolderPaths folders_;
    const LoadContext details_;  // what FillDetails works with
    std::vector<StartupItem> rows_;
    std::unordered_map<std::string, RememberedIcon> iconMemory_;
    std::unique_ptr<PendingLoad> pending_;
    bool detailsPending_ = false;
    bool loadAgain_ = false;  // a reload asked for during a step
    std::size_t nextDetails_ = 0;  // rows before it have their details
    bool processing_ = false;
    std::uint64_t generation_ = 0;
    std::array<bool, kColumnCount> sortAscending_{};
    std::optional<int> sortColumn_;
    std::optional<std::size_t> selected_;
};

}  // namespace dovoviza
