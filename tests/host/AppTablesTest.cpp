// The main window's and the tray's menus, toolbar and headers read with the
// English language file, and the rules that decide what a click may use.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/AppTables.h"
#include "app/WindowIds.h"
#include "language/Ini.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

// One menu as a user reads it: the item texts in order, "-" for a separator.
std::vector<std::string> Read(std::span<const MenuItem> items, const LanguageFile& file) {
    std::vector<std::string> texts;
    for (const MenuItem& item : items) {
        texts.push_back(item.command == 0 ? "-" : file.Get(item.text.section, item.text.key));
    }
    return texts;
}

std::vector<int> Commands(std::span<const MenuItem> items) {
    std::vector<int> commands;
    for (const MenuItem& item : items) commands.push_back(item.command);
    return commands;
}

class AppTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream in(std::string(DOVOVIZA_SOURCE_DIR) + "/Language/English.lng", std::ios::binary);
        ASSERT_TRUE(in);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        english = LanguageFile::FromBytes(system, bytes);
    }

    FakeSystem system;
    LanguageFile english;
};

}  // namespace

TEST_F(AppTablesTest, MenuBarReadsAsDesigned) {
    ASSERT_EQ(kMainMenuBar.size(), 3u);
    const MenuBarMenu& file = kMainMenuBar[0];
    const MenuBarMenu& options = kMainMenuBar[1];
    const MenuBarMenu& help = kMainMenuBar[2];
    EXPECT_EQ(english.Get(file.title.section, file.title.key), "File");
    EXPECT_EQ(english.Get(options.title.section, options.title.key), "Options");
    EXPECT_EQ(english.Get(help.title.section, help.title.key), "Help");

    EXPECT_EQ(Read(file.items, english),
              (std::vector<std::string>{"New Item", "Edit Item", "-", "Disable Selected Item",
                                        "Enable Selected Item", "Delete Selected Item", "-",
                                        "Execute", "File Properties", "-", "Exit"}));
    EXPECT_EQ(Commands(file.items),
              (std::vector<int>{ids::kCmdNewItem, ids::kCmdEditItem, 0, ids::kCmdDisable,
                                ids::kCmdEnable, ids::kCmdDelete, 0, ids::kCmdExecute,
                                ids::kCmdProperties, 0, ids::kCmdExit}));

    EXPECT_EQ(Read(options.items, english),
              (std::vector<std::string>{"Refresh", "-", "Run with Windows", "Run minimized", "-",
                                        "Language"}));
    EXPECT_EQ(Commands(options.items),
              (std::vector<int>{ids::kCmdRefresh, 0, ids::kCmdRunWithWindows,
                                ids::kCmdRunMinimized, 0, ids::kCmdLanguage}));

    EXPECT_EQ(Read(help.items, english),
              (std::vector<std::string>{"Help...", "Check for updates...", "-", "About..."}));
    EXPECT_EQ(Commands(help.items),
              (std::vector<int>{ids::kCmdHelpFile, ids::kCmdUpdate, 0, ids::kCmdAbout}));
}

TEST_F(AppTablesTest, ListMenuRunsTheFileMenusCommands) {
    EXPECT_EQ(Read(kListMenu, english),
              (std::vector<std::string>{"Disable Selected Item", "Enable Selected Item",
                                        "Delete Selected Item", "-", "Execute", "File Properties",
                                        "-", "Refresh"}));
    EXPECT_EQ(Commands(kListMenu),
              (std::vector<int>{ids::kCmdDisable, ids::kCmdEnable, ids::kCmdDelete, 0,
                                ids::kCmdExecute, ids::kCmdProperties, 0, ids::kCmdRefresh}));
}

TEST_F(AppTablesTest, TrayMenuOffersOpenAndExit) {
    EXPECT_EQ(Read(kTrayMenu, english), (std::vector<std::string>{"Open", "-", "Exit"}));
    EXPECT_EQ(Commands(kTrayMenu), (std::vector<int>{ids::kCmdTrayOpen, 0, ids::kCmdTrayExit}));
}

TEST_F(AppTablesTest, ToolbarButtonsTheirImagesAndTooltips) {
    std::vector<std::string> tips;
    std::vector<int> commands;
    std::vector<int> images;
    for (const ToolbarButton& button : kToolbarButtons) {
        commands.push_back(button.command);
        if (button.command == 0) {
            tips.push_back("-");
            continue;
        }
        tips.push_back(english.Get(button.tooltip.section, button.tooltip.key));
        images.push_back(button.image);
    }
    EXPECT_EQ(tips, (std::vector<std::string>{"-", "Create New Startup Item", "Disable Selected Item",
                                              "Enable Selected Item", "Delete Selected Item", "-",
                                              "Refresh", "File Properties", "Execute", "About..."}));
    EXPECT_EQ(commands, (std::vector<int>{0, ids::kCmdNewItem, ids::kCmdDisable, ids::kCmdEnable,
                                          ids::kCmdDelete, 0, ids::kCmdRefresh, ids::kCmdProperties,
                                          ids::kCmdExecute, ids::kCmdAbout}));
    // The strip holds add, disable, enable, delete, refresh, properties, execute, about.
    EXPECT_EQ(images, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(AppTablesTest, ColumnHeadersFollowTheColumns) {
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        EXPECT_EQ(english.Get(kColumnHeaderTexts[i].section, kColumnHeaderTexts[i].key),
                  kColumnHeaders[i]);
    }
    EXPECT_EQ(english.Get(kStatusGeneralText.section, kStatusGeneralText.key),
              "Monitoring startup locations");
}

TEST(AppMenuStateTest, SelectedRowDecidesBetweenDisableAndEnable) {
    TestWorld w;
    w.AddProgram("C:\\a.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "On", "C:\\a.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Off", "C:\\a.exe");
    ASSERT_TRUE(w.list.LoadRegistryInfo());
    ASSERT_EQ(w.list.RowCount(), 2u);

    // Nothing selected: the items stay as they were.
    EXPECT_FALSE(SelectedRowMenuState(w.list).has_value());

    for (std::size_t i = 0; i < w.list.RowCount(); ++i) {
        w.list.Select(i);
        const auto state = SelectedRowMenuState(w.list);
        ASSERT_TRUE(state.has_value());
        const bool disabled = w.list.Rows()[i].IsDisabled();
        SCOPED_TRACE(w.list.Rows()[i].Name());
        EXPECT_EQ(state->disable, !disabled);
        EXPECT_EQ(state->enable, disabled);
    }
}

TEST(AppMenuStateTest, ListMenuOnlyOverRows) {
    TestWorld w;
    ASSERT_TRUE(w.list.LoadRegistryInfo());
    EXPECT_FALSE(ShowsListMenu(w.list));
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "One", "C:\\missing.exe");
    ASSERT_TRUE(w.list.LoadRegistryInfo());
    // Rows but none selected: the menu still opens.
    ASSERT_EQ(w.list.SelectedIndex(), std::nullopt);
    EXPECT_TRUE(ShowsListMenu(w.list));
}

TEST(AppTrayTest, ClicksOfTheIcon) {
    EXPECT_EQ(TrayMouseAction(0x0202), TrayAction::OpenMainWindow);  // left button up
    EXPECT_EQ(TrayMouseAction(0x0203), TrayAction::OpenMainWindow);  // left double-click
    EXPECT_EQ(TrayMouseAction(0x0205), TrayAction::ShowMenu);        // right button up
    EXPECT_EQ(TrayMouseAction(0x0200), TrayAction::None);            // mouse move
    EXPECT_EQ(TrayMouseAction(0x0201), TrayAction::None);            // left button down
    EXPECT_EQ(TrayMouseAction(0x0204), TrayAction::None);            // right button down
    EXPECT_EQ(TrayMouseAction(0x0206), TrayAction::None);            // right double-click
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
    const auto index = [&](const std::string& name) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].Name() == name) return i;
        }
        ADD_FAILURE() << name;
        return rows.size();
    };

    // Letter case does not matter; the search starts at the given row.
    EXPECT_EQ(FindRowByName(rows, w.system, "B", 0, true, true), index("beta"));
    EXPECT_EQ(FindRowByName(rows, w.system, "b", index("beta") + 1, true, true), index("Bravo"));
    EXPECT_EQ(FindRowByName(rows, w.system, "BR", 0, true, true), index("Bravo"));
    EXPECT_EQ(FindRowByName(rows, w.system, "beta", index("beta") + 1, true, true), index("Beta"));
    // Past the last match it goes round to the top only when asked.
    EXPECT_EQ(FindRowByName(rows, w.system, "alp", 1, true, true), index("Alpha"));
    EXPECT_EQ(FindRowByName(rows, w.system, "alp", 1, true, false), std::nullopt);
    EXPECT_EQ(FindRowByName(rows, w.system, "alp", 99, true, false), std::nullopt);
    EXPECT_EQ(FindRowByName(rows, w.system, "alp", 99, true, true), index("Alpha"));
    // A whole-name search does not take a name that only begins with the text.
    EXPECT_EQ(FindRowByName(rows, w.system, "Bra", 0, false, true), std::nullopt);
    EXPECT_EQ(FindRowByName(rows, w.system, "CHARLIE", 0, false, true), index("charlie"));
    EXPECT_EQ(FindRowByName(rows, w.system, "x", 0, true, true), std::nullopt);
    EXPECT_EQ(FindRowByName(rows, w.system, "", 0, true, true), std::nullopt);
}
