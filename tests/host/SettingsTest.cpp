#include <gtest/gtest.h>

#include "app/Settings.h"
#include "support/FakeRegistry.h"
#include "support/FakeSystem.h"

using namespace dovoviza;
using namespace dovoviza::test;

TEST(Settings, WindowsVersionsAcceptedFromXpOn) {
    const std::pair<std::optional<WindowsVersion>, int> cases[] = {
        {std::nullopt, 0},           {WindowsVersion{1, 4, 10}, 1}, {WindowsVersion{2, 5, 0}, 1},
        {WindowsVersion{2, 5, 1}, 2}, {WindowsVersion{2, 5, 2}, 2},  {WindowsVersion{2, 6, 3}, 2},
        {WindowsVersion{2, 10, 0}, 1}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(GetOS(cases[i].first), cases[i].second) << "case " << i;
    }
}

TEST(Settings, StoredValuesAndTheirDefaults) {
    FakeRegistry registry;
    Settings settings(registry);
    EXPECT_EQ(settings.LanguageName(), "English");
    EXPECT_FALSE(settings.RunMinimized());

    // First run: the defaults are used and written.
    EXPECT_EQ(settings.HeightTwips(), 7950);
    EXPECT_EQ(settings.WidthTwips(), 11175);
    EXPECT_EQ(registry.GetString(Hive::LocalMachine, kSettingsKey, "Heigth"), "7950");
    EXPECT_EQ(registry.GetString(Hive::LocalMachine, kSettingsKey, "Width"), "11175");

    settings.SaveSize(9000, 12000);
    EXPECT_EQ(settings.HeightTwips(), 9000);
    registry.SetString(Hive::LocalMachine, kSettingsKey, "Width", "wide");
    EXPECT_EQ(settings.WidthTwips(), 11175);

    settings.SetLanguageName("Deutsch");
    EXPECT_EQ(settings.LanguageName(), "Deutsch");
    settings.SetRunMinimized(true);
    EXPECT_TRUE(settings.RunMinimized());
    registry.SetString(Hive::LocalMachine, kSettingsKey, "RunMinimized", "true");
    EXPECT_FALSE(settings.RunMinimized());
    settings.SetRunMinimized(false);
    EXPECT_EQ(registry.GetString(Hive::LocalMachine, kSettingsKey, "RunMinimized"), "False");
}

TEST(Settings, AutostartUsesTheRunKeyOfTheProgramsOwnView) {
    FakeRegistry registry;
    FakeSystem system;
    system.programFolder = "C:\\Tools\\dovoviza";
    system.wow64 = true;
    Autostart autostart(registry, system);
    EXPECT_EQ(autostart.KeyPath(), "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_FALSE(autostart.IsOn());

    ASSERT_TRUE(autostart.Set(true));
    EXPECT_EQ(registry.GetString(Hive::LocalMachine, autostart.KeyPath(), "Varnek RuvazUv Avuzuza"),
              "C:\\Tools\\dovoviza\\dovoviza.exe");
    EXPECT_TRUE(autostart.IsOn());
    // A value left by a copy of the program elsewhere is not ours.
    registry.SetString(Hive::LocalMachine, autostart.KeyPath(), "Varnek RuvazUv Avuzuza", "D:\\old\\dovoviza.exe");
    EXPECT_FALSE(autostart.IsOn());
    ASSERT_TRUE(autostart.Set(false));
    EXPECT_TRUE(registry.ValueNames(Hive::LocalMachine, autostart.KeyPath()).empty());

    system.wow64 = false;
    EXPECT_EQ(Autostart(registry, system).KeyPath(), "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}
