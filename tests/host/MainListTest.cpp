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

class MainListTest : public ::testing::Test {
protected:
    void AddValue(const std::string& name, const std::string& command, bool disabled = false) {
        w.SetRunValue(Hive::CurrentUser, disabled ? TestWorld::kUserRunDisabled : TestWorld::kUserRun,
                      name, command);
    }
    std::string Counts() {
        const CountTexts counts = w.list.Count_Items();
        return counts.items + " " + counts.disabled;
    }
    TestWorld w;
};

TEST_F(MainListTest, ReloadRebuildsRowsIconsAndCounts) {
    w.AddProgram("C:\\a.exe");
    AddValue("A", "C:\\a.exe");
    AddValue("B", "C:\\a.exe", true);
    AddValue("C", "C:\\missing.exe", true);

    ASSERT_TRUE(w.list.LoadRegistryInfo());
    ASSERT_TRUE(w.list.LoadRegistryInfo());
    EXPECT_EQ(w.list.RowCount(), 3u);
    // One image per program file, asked for once: reloads do not grow the list.
    EXPECT_EQ(w.icons.requests.size(), 2u);
    EXPECT_EQ(w.icons.Count(), 1);
    EXPECT_EQ(w.list.Rows()[1].icon, 1);
    EXPECT_EQ(Counts(), "(3) items (2) disabled");
    // A replaced file's icon is taken again.
    w.files.AddFile("C:\\a.exe", std::string(4096, 'x'));
    w.list.LoadRegistryInfo();
    EXPECT_EQ(w.list.Rows()[0].icon, 2);
    EXPECT_EQ(w.icons.requests.size(), 3u);

    w.registry.RemoveKey(Hive::CurrentUser, TestWorld::kUserRunDisabled);
    w.list.LoadRegistryInfo();
    EXPECT_EQ(Counts(), "(1) items (0) disabled");
}

TEST_F(MainListTest, HeaderClicksAlternatePerColumnAndCompareDisplayedTextIgnoringCase) {
    EXPECT_FALSE(w.list.ColumnClick(1));  // empty list: not even the flag changes
    AddValue("beta", "512 bytes");
    AddValue("Alpha", "1. KB");
    AddValue("delta", "X");
    AddValue("Gamma", "x");
    w.list.LoadRegistryInfo();

    ASSERT_TRUE(w.list.ColumnClick(1));
    EXPECT_EQ(Column(w.list, kColName), (Texts{"Alpha", "beta", "delta", "Gamma"}));
    ASSERT_TRUE(w.list.ColumnClick(1));
    EXPECT_EQ(Column(w.list, kColName), (Texts{"Gamma", "delta", "beta", "Alpha"}));
    // Another column starts with its own ascending click; text order, not size;
    // texts equal but for letter case keep the order they had.
    ASSERT_TRUE(w.list.ColumnClick(2));
    EXPECT_EQ(Column(w.list, kColValue), (Texts{"1. KB", "512 bytes", "x", "X"}));
    EXPECT_FALSE(w.list.ColumnClick(0));
    EXPECT_FALSE(w.list.ColumnClick(15));
}

TEST_F(MainListTest, SortAndSelectionSurviveAReload) {
    AddValue("b", "1");
    AddValue("a", "2");
    AddValue("c", "3");
    w.list.LoadRegistryInfo();
    w.list.ColumnClick(1);
    w.list.Select(2);
    ASSERT_EQ(w.list.Selected()->Name(), "c");

    AddValue("0-new", "4");
    w.list.LoadRegistryInfo();
    EXPECT_EQ(Column(w.list, kColName), (Texts{"0-new", "a", "b", "c"}));
    ASSERT_NE(w.list.Selected(), nullptr);
    EXPECT_EQ(w.list.Selected()->Name(), "c");
    EXPECT_EQ(w.list.SortOrder(), std::make_optional(std::make_pair(1, true)));
    // A namesake in another place is another entry: the selection stays on its own.
    w.SetRunValue(Hive::LocalMachine, TestWorld::kUserRun, "c", "9");
    w.list.LoadRegistryInfo();
    ASSERT_NE(w.list.Selected(), nullptr);
    EXPECT_EQ(w.list.Selected()->Section(), "Registry -> User Run");

    w.registry.RemoveKey(Hive::CurrentUser, TestWorld::kUserRun);
    w.list.LoadRegistryInfo();
    EXPECT_EQ(w.list.Selected(), nullptr);
    w.list.Select(7);
    EXPECT_EQ(w.list.SelectedIndex(), std::nullopt);
}

TEST_F(MainListTest, AReloadRequestedDuringAReloadIsIgnored) {
    HookedIconList icons;
    MainList list(w.platform, w.fileInfo, w.texts, icons, w.folders);
    std::vector<bool> nested;
    icons.hook = [&] { nested.push_back(list.LoadRegistryInfo()); };
    AddValue("A", "x");
    AddValue("B", "y");

    EXPECT_TRUE(list.LoadRegistryInfo());
    EXPECT_EQ(nested, (std::vector<bool>{false, false}));
    EXPECT_EQ(list.RowCount(), 2u);
    EXPECT_FALSE(list.Processing());
}

TEST_F(MainListTest, DisabledRowsStayDisabledWhenTheLanguageHasNoStatusWord) {
    w.texts.Set("Main", "37", "");
    AddValue("Parked", "x", true);
    w.list.LoadRegistryInfo();
    ASSERT_EQ(w.list.RowCount(), 1u);
    EXPECT_TRUE(w.list.Rows()[0].IsDisabled());
    EXPECT_EQ(Counts(), "(1) items (1) disabled");

    w.list.SetDisabled(0, false, "");
    EXPECT_FALSE(w.list.Rows()[0].IsDisabled());
    w.list.SetDisabled(0, true, "Off");
    EXPECT_EQ(w.list.Rows()[0].Status(), "Off");
}

}  // namespace
