// The main window's and the tray's menus, toolbar and headers read with the
// English language file, and the rules that decide what a click may use.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/AppTables.h"
#include "app/WindowIds.h"
#include "language/Ini.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

// A menu or toolbar as a user meets it: each command with its text, "-" for a separator.
using Items = std::vector<std::pair<int, std::string>>;

class AppTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream in(std::string(DOVOVIZA_SOURCE_DIR) + "/Language/English.lng", std::ios::binary);
        ASSERT_TRUE(in);
        english = LanguageFile::FromBytes(
            system, std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
    }

    std::string Text(TextKey key) const { return english.Get(key.section, key.key); }
    Items Read(std::span<const MenuItem> items) const {
        Items read;
        for (const MenuItem& item : items) read.emplace_back(item.command, item.command ? Text(item.text) : "-");
        return read;
    }

    FakeSystem system;
    LanguageFile english;
};

}  // namespace

TEST_F(AppTablesTest, MenusReadAsDesigned) {
    using namespace ids;
    ASSERT_EQ(kMainMenuBar.size(), 3u);
    const struct {
        std::string title;
        std::span<const MenuItem> items;
        Items expected;
    } menus[] = {
        {"File", kMainMenuBar[0].items,
         {{kCmdNewItem, "New Item"}, {kCmdEditItem, "Edit Item"}, {0, "-"}, {kCmdDisable, "Disable Selected Item"},
          {kCmdEnable, "Enable Selected Item"}, {kCmdDelete, "Delete Selected Item"}, {0, "-"},
          {kCmdExecute, "Execute"}, {kCmdProperties, "File Properties"}, {0, "-"}, {kCmdExit, "Exit"}}},
        {"Options", kMainMenuBar[1].items,
         {{kCmdRefresh, "Refresh"}, {0, "-"}, {kCmdRunWithWindows, "Run with Windows"},
          {kCmdRunMinimized, "Run minimized"}, {0, "-"}, {kCmdLanguage, "Language"}}},
        {"Help", kMainMenuBar[2].items,
         {{kCmdHelpFile, "Help..."}, {kCmdUpdate, "Check for updates..."}, {0, "-"}, {kCmdAbout, "About..."}}},
        // The list's menu runs the File menu's commands.
        {"", kListMenu,
         {{kCmdDisable, "Disable Selected Item"}, {kCmdEnable, "Enable Selected Item"},
          {kCmdDelete, "Delete Selected Item"}, {0, "-"}, {kCmdExecute, "Execute"},
          {kCmdProperties, "File Properties"}, {0, "-"}, {kCmdRefresh, "Refresh"}}},
        {"", kTrayMenu, {{kCmdTrayOpen, "Open"}, {0, "-"}, {kCmdTrayExit, "Exit"}}},
    };
    for (std::size_t i = 0; i < std::size(menus); ++i) {
        if (i < kMainMenuBar.size()) {
            EXPECT_EQ(Text(kMainMenuBar[i].title), menus[i].title);
        }
        EXPECT_EQ(Read(menus[i].items), menus[i].expected) << "menu " << i;
    }
}

TEST_F(AppTablesTest, ToolbarButtonsTheirImagesAndTooltipsAndColumnHeaders) {
    using namespace ids;
    Items buttons;
    std::vector<int> images;
    for (const ToolbarButton& button : kToolbarButtons) {
        buttons.emplace_back(button.command, button.command ? Text(button.tooltip) : "-");
        if (button.command) images.push_back(button.image);
    }
    EXPECT_EQ(buttons, (Items{{0, "-"}, {kCmdNewItem, "Create New Startup Item"},
                              {kCmdDisable, "Disable Selected Item"}, {kCmdEnable, "Enable Selected Item"},
                              {kCmdDelete, "Delete Selected Item"}, {0, "-"},
                              {kCmdRefresh, "Refresh"}, {kCmdProperties, "File Properties"},
                              {kCmdExecute, "Execute"}, {kCmdAbout, "About..."}}));
    // The strip holds add, disable, enable, delete, refresh, properties, execute, about.
    EXPECT_EQ(images, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));

    for (std::size_t i = 0; i < kColumnCount; ++i) EXPECT_EQ(Text(kColumnHeaderTexts[i]), kColumnHeaders[i]) << i;
    EXPECT_EQ(Text(kStatusGeneralText), "Monitoring startup locations");
}

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
    const std::pair<unsigned, TrayAction> cases[] = {
        {0x0202, TrayAction::OpenMainWindow},  // left button up
        {0x0203, TrayAction::OpenMainWindow},  // left double-click
        {0x0205, TrayAction::ShowMenu},        // right button up
        {0x0200, TrayAction::None}, {0x0201, TrayAction::None}, {0x0204, TrayAction::None}, {0x0206, TrayAction::None}};
    for (const auto& [message, action] : cases) EXPECT_EQ(TrayMouseAction(message), action) << message;
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
