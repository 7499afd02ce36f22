// The main list: reloads, counts, header-click sorting and the selection.

#include <gtest/gtest.h>

#include "OperationsTestBench.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;

Texts Column(const MainList& list, std::size_t column) {
    Texts texts;
    for (const auto& row : list.Rows()) texts.push_back(row.columns[column]);
    return texts;
}

}  // namespace

TEST(MainList, ReloadRebuildsRowsIconsAndCounts) {
    TestWorld w;
    w.texts.Set("Main", "37", "");  // no status word: the rows count as disabled all the same
    w.AddProgram("C:\\a.exe");
    w.SetRunValue(Hive::CurrentUser, kRunKey, "A", "C:\\a.exe");
    w.SetRunValue(Hive::CurrentUser, kRunDisabledKey, "B", "C:\\a.exe");
    w.SetRunValue(Hive::CurrentUser, kRunDisabledKey, "C", "C:\\missing.exe");
    ASSERT_TRUE(w.list.LoadRegistryInfo() && w.list.LoadRegistryInfo());
    const CountTexts counts = w.list.Count_Items();
    EXPECT_EQ(counts.items + " " + counts.disabled, "(3) items (2) disabled");
    // One image per program file, asked for once: reloads do not grow the
    // list, and a missing file is not asked for at all.
    EXPECT_EQ(w.icons.requests.size(), 1u);
    EXPECT_EQ(w.icons.Count(), 1);
    EXPECT_EQ(w.list.Rows()[1].icon, 1);
    // A replaced file's icon is taken again.
    w.files.AddFile("C:\\a.exe", std::string(4096, 'x'));
    w.list.LoadRegistryInfo();
    EXPECT_EQ(w.list.Rows()[0].icon, 2);
    EXPECT_EQ(w.icons.requests.size(), 2u);
}

TEST(MainList, HeaderClicksSortByTheShownTextIgnoringCaseAndSortAndSelectionSurviveAReload) {
    TestWorld w;
    EXPECT_FALSE(w.list.ColumnClick(1));  // empty list: not even the flag changes
    for (const auto& [name, value] :
         {std::pair{"beta", "512 bytes"}, {"Alpha", "1. KB"}, {"delta", "X"}, {"Gamma", "x"}})
        w.SetRunValue(Hive::CurrentUser, kRunKey, name, value);
    w.list.LoadRegistryInfo();
    w.list.Select(2);
    ASSERT_TRUE(w.list.ColumnClick(1));
    EXPECT_EQ(Column(w.list, kColName), (Texts{"Alpha", "beta", "delta", "Gamma"}));
    // Each column has its own order, first click ascending; text order, not
    // size; texts equal but for letter case keep the order they had.
    ASSERT_TRUE(w.list.ColumnClick(2));
    EXPECT_EQ(Column(w.list, kColValue), (Texts{"1. KB", "512 bytes", "X", "x"}));
    ASSERT_TRUE(w.list.ColumnClick(1));
    EXPECT_FALSE(w.list.ColumnClick(0) || w.list.ColumnClick(15));
    // A namesake elsewhere is another entry: the selection stays on its own.
    w.SetRunValue(Hive::CurrentUser, kRunKey, "epsilon", "4");
    w.SetRunValue(Hive::LocalMachine, kRunKey, "delta", "9");
    w.list.LoadRegistryInfo();
    EXPECT_EQ(Column(w.list, kColValue), (Texts{"x", "4", "X", "9", "512 bytes", "1. KB"}));
    EXPECT_EQ(w.list.SortOrder(), std::make_optional(std::make_pair(1, false)));
    ASSERT_NE(w.list.Selected(), nullptr);
    EXPECT_EQ(w.list.Selected()->Value(), "X");
    w.registry.RemoveKey(Hive::CurrentUser, kRunKey);
    w.list.LoadRegistryInfo();
    EXPECT_EQ(w.list.Selected(), nullptr);
    w.list.Select(7);
    EXPECT_EQ(w.list.SelectedIndex(), std::nullopt);
}

TEST(MainList, ALoadInStepsShowsTheOldRowsUntilEveryStoreIsReadThenFillsTheDetails) {
    TestWorld w;
    w.AddProgram("C:\\a.exe");
    w.AddProgram("C:\\b.exe", "Bee");
    w.SetRunValue(Hive::CurrentUser, kRunKey, "A", "C:\\a.exe");
    w.SetRunValue(Hive::LocalMachine, kRunKey, "M", "C:\\missing.exe");
    w.list.LoadRegistryInfo();
    const auto whole = Column(w.list, kColProductName);
    w.SetRunValue(Hive::CurrentUser, kRunDisabledKey, "B", "C:\\b.exe");

    // One entry a step: the rows stay the old ones, whole, until the last
    // store is read; then all come at once, the unchanged one with its details.
    w.list.BeginLoad();
    int steps = 0;
    const auto oneEntry = [] { return false; };
    while (w.list.Processing()) {
        EXPECT_EQ(Column(w.list, kColProductName), whole);
        ASSERT_TRUE(w.list.ContinueLoad(oneEntry));
        ++steps;
    }
    EXPECT_GE(steps, 3);
    EXPECT_EQ(Column(w.list, kColName), (Texts{"A", "B", "M"}));
    EXPECT_EQ(Column(w.list, kColProductName), (Texts{"Product", "", ""}));
    EXPECT_EQ(w.icons.requests.size(), 1u);
    while (w.list.ContinueLoad(oneEntry)) {
    }
    EXPECT_EQ(Column(w.list, kColProductName), (Texts{"Product", "Bee", ""}));
    EXPECT_EQ(w.icons.requests.size(), 2u);  // a.exe's icon is the one it had

    // The watchdog's scan replaces the rows: unchanged ones are kept whole,
    // a new one gets its details as the load goes on.
    w.SetRunValue(Hive::CurrentUser, kRunKey, "C", "\"C:\\b.exe\" /c");
    w.list.Select(1);
    LoadContext scan{w.platform, w.fileInfo, w.folders, StatusWords{"nf", "dis"}, RowDetail::Scan, nullptr};
    w.list.AdoptScan(LoadAllLocations(scan));
    EXPECT_EQ(Column(w.list, kColName), (Texts{"A", "C", "B", "M"}));
    EXPECT_EQ(w.list.Selected()->Name(), "B");
    EXPECT_EQ(w.list.Rows()[0].columns[kColFileSize], "1.46 KB");
    EXPECT_EQ(w.list.Rows()[1].columns[kColFileSize], "");
    EXPECT_TRUE(w.list.LoadPending());
    ASSERT_TRUE(w.list.ColumnClick(1));  // the row still to fill moves down
    while (w.list.ContinueLoad(oneEntry)) {
    }
    EXPECT_EQ(Column(w.list, kColProductName), (Texts{"Product", "Bee", "Bee", ""}));
    EXPECT_EQ(w.icons.requests.size(), 2u);
}
