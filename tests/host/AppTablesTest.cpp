// The main window's rules: menu state, type-to-find, the settings, the autostart entry.

#include <gtest/gtest.h>

#include "app/AppTables.h"
#include "app/Settings.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

TEST(AppTables, TheSelectedRowDecidesTheMenuAndTypedTextFindsTheNextName) {
    TestWorld w;
    for (const char* name : {"Alpha", "beta", "Bravo", "charlie"}) {
        w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, name, "C:\\a.exe");
    }
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Beta", "C:\\a.exe");
    w.list.LoadRegistryInfo();
    const auto& rows = w.list.Rows();  // Alpha, beta, Bravo, charlie, Beta (disabled)
    // Rows but none selected: the menu opens, its items stay as they were.
    EXPECT_TRUE(!ShowsListMenu(TestWorld().list) && ShowsListMenu(w.list));
    EXPECT_FALSE(SelectedRowMenuState(w.list));
    w.list.Select(std::size_t{4});
    EXPECT_TRUE(SelectedRowMenuState(w.list)->enable && !SelectedRowMenuState(w.list)->disable);
    // Letter case does not matter; the search starts at the given row and goes
    // round to the top only when asked; a whole name must match as a whole.
    const std::tuple<const char*, std::size_t, bool, bool, const char*> cases[] = {
        {"b", 2, true, true, "Bravo"}, {"beta", 2, true, true, "Beta"}, {"", 0, true, true, ""},
        {"alp", 1, true, true, "Alpha"}, {"alp", 1, true, false, ""}, {"alp", 9, true, false, ""},
        {"Bra", 0, false, true, ""}, {"CHARLIE", 0, false, true, "charlie"}};
    for (const auto& [text, start, partial, wrap, found] : cases) {
        const auto row = FindRowByName(rows, w.system, text, start, partial, wrap);
        EXPECT_EQ(row ? rows[*row].Name() : "", found) << text << " from " << start << wrap;
    }
}

TEST(Settings, DefaultsExactTextsAndTheProgramsOwnAutostartEntry) {
    const std::pair<std::optional<WindowsVersion>, int> versions[] = {
        {std::nullopt, 0}, {WindowsVersion{1, 4, 10}, 1}, {WindowsVersion{2, 5, 0}, 1},
        {WindowsVersion{2, 5, 1}, 2}, {WindowsVersion{2, 6, 3}, 2}, {WindowsVersion{2, 10, 0}, 1}};
    for (const auto& [version, os] : versions) EXPECT_EQ(GetOS(version), os) << os;
    TestWorld w;
    Settings settings(w.registry);
    EXPECT_EQ(settings.LanguageName(), "English");
    // A size that is missing or no number reads as its default.
    EXPECT_EQ(settings.HeightTwips(), 7950);
    w.registry.SetString(Hive::LocalMachine, kSettingsKey, "Width", "wide");
    w.registry.SetString(Hive::LocalMachine, kSettingsKey, "RunMinimized", "true");
    EXPECT_EQ(settings.WidthTwips(), 11175);
    EXPECT_FALSE(settings.RunMinimized());  // only "True"
    // The value in the Run key of the program's own view is ours only with our path.
    w.system.wow64 = true;
    Autostart autostart(w.registry, w.system);
    const std::string key = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    ASSERT_TRUE(autostart.KeyPath() == key && autostart.Set(true) && autostart.IsOn());
    w.registry.SetString(Hive::LocalMachine, key, kAutostartValue, "D:\\old\\dovoviza.exe");
    EXPECT_FALSE(autostart.IsOn());
}
