// The rules that decide what a click on the main window or the tray icon may
// use, and the list's type-to-find search.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "app/AppTables.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

TEST(AppMenuStateTest, SelectedRowDecidesBetweenDisableAndEnableAndRowsOpenTheListMenu) {
    TestWorld w;
    ASSERT_TRUE(w.list.LoadRegistryInfo());
    EXPECT_FALSE(ShowsListMenu(w.list));

    w.AddProgram("C:\\a.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "On", "C:\\a.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Off", "C:\\a.exe");
    ASSERT_TRUE(w.list.LoadRegistryInfo());
    ASSERT_EQ(w.list.RowCount(), 2u);
    // Rows but none selected: the menu opens, its items stay as they were.
    ASSERT_EQ(w.list.SelectedIndex(), std::nullopt);
    EXPECT_TRUE(ShowsListMenu(w.list));
    EXPECT_FALSE(SelectedRowMenuState(w.list).has_value());

    for (std::size_t i = 0; i < w.list.RowCount(); ++i) {
        w.list.Select(i);
        const auto state = SelectedRowMenuState(w.list);
        ASSERT_TRUE(state.has_value());
        const bool disabled = w.list.Rows()[i].IsDisabled();
        EXPECT_EQ(state->disable, !disabled) << w.list.Rows()[i].Name();
        EXPECT_EQ(state->enable, disabled) << w.list.Rows()[i].Name();
    }
}

TEST(AppTrayTest, ClicksOfTheIcon) {
    EXPECT_EQ(TrayMouseAction(TrayMouse::LeftUp), TrayAction::OpenMainWindow);
    EXPECT_EQ(TrayMouseAction(TrayMouse::LeftDoubleClick), TrayAction::OpenMainWindow);
    EXPECT_EQ(TrayMouseAction(TrayMouse::RightUp), TrayAction::ShowMenu);
    EXPECT_EQ(TrayMouseAction(TrayMouse::Other), TrayAction::None);
}

TEST(AppListSearchTest, TypedTextFindsTheNextNameThatBeginsWithIt) {
    TestWorld w;
    for (const char* name : {"Alpha", "beta", "Bravo", "charlie"}) {
        w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, name, "C:\\missing.exe");
    }
    // Value names ignore case within a key; the second "Beta" sits in the disabled store.
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Beta", "C:\\missing.exe");
    ASSERT_TRUE(w.list.LoadRegistryInfo());
    const auto& rows = w.list.Rows();
    ASSERT_EQ(rows.size(), 5u);
    const auto index = [&](const char* name) -> std::optional<std::size_t> {
        if (!name) return std::nullopt;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].Name() == name) return i;
        }
        ADD_FAILURE() << name;
        return rows.size();
    };
    const struct {
        const char* text;
        const char* startAfter;  // the search starts after this row, or at `start`
        std::size_t start;
        bool partial, wrap;
        const char* found;
    } cases[] = {
        // Letter case does not matter; the search starts at the given row.
        {"B", nullptr, 0, true, true, "beta"},
        {"b", "beta", 0, true, true, "Bravo"},
        {"BR", nullptr, 0, true, true, "Bravo"},
        {"beta", "beta", 0, true, true, "Beta"},
        // Past the last match it goes round to the top only when asked.
        {"alp", nullptr, 1, true, true, "Alpha"},
        {"alp", nullptr, 1, true, false, nullptr},
        {"alp", nullptr, 99, true, false, nullptr},
        {"alp", nullptr, 99, true, true, "Alpha"},
        // A whole-name search does not take a name that only begins with the text.
        {"Bra", nullptr, 0, false, true, nullptr},
        {"CHARLIE", nullptr, 0, false, true, "charlie"},
        {"x", nullptr, 0, true, true, nullptr},
        {"", nullptr, 0, true, true, nullptr},
    };
    for (const auto& c : cases) {
        const std::size_t start = c.startAfter ? *index(c.startAfter) + 1 : c.start;
        EXPECT_EQ(FindRowByName(rows, w.system, c.text, start, c.partial, c.wrap), index(c.found))
            << '"' << c.text << "\" from " << start << (c.partial ? " partial" : " whole") << (c.wrap ? " wrap" : "");
    }
}
