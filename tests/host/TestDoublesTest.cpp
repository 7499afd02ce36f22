// The doubles stand in for Windows in every other test; where a Windows rule
// they copy is one the data-safety tests rely on, it is checked here.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeFileSystem.h"
#include "support/FakeRegistry.h"

using namespace dovoviza;
using namespace dovoviza::test;

TEST(FakeRegistry, MatchesNamesWithoutCaseAndFailsThroughRemovedKeys) {
    FakeRegistry reg;
    reg.SetString(Hive::CurrentUser, "Software\\App", "Zeta", "1");
    reg.SetString(Hive::CurrentUser, "software\\APP\\", "alpha", "2");
    reg.SetString(Hive::CurrentUser, "Software\\App", "ZETA", "3");  // same value, first spelling kept
    EXPECT_EQ(reg.ValueNames(Hive::CurrentUser, "SOFTWARE\\app"), (std::vector<std::string>{"Zeta", "alpha"}));
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, "Software\\App", "zeta"), "3");
    EXPECT_FALSE(reg.HasKey(Hive::LocalMachine, "Software\\App"));  // hives are separate

    // A handle to a removed key fails instead of reaching into nothing.
    auto key = reg.OpenKey(Hive::CurrentUser, "Software\\App", true);
    ASSERT_TRUE(key);
    reg.RemoveKey(Hive::CurrentUser, "Software");
    EXPECT_FALSE(key->ValueCount());
    EXPECT_FALSE(key->WriteValue("x", RegType::String, {0, 0}));
    EXPECT_FALSE(reg.HasKey(Hive::CurrentUser, "Software\\App"));
}

TEST(FakeFileSystem, NeverReplacesAndRefusesWhatWindowsRefuses) {
    FakeFileSystem files;
    files.AddFile("C:\\S\\app.lnk", "link");
    files.AddFile("C:\\S\\other.lnk", "other");
    files.AddFile("C:\\S\\desktop.ini", "x", FileAttr::Hidden | FileAttr::System);
    files.AddFolder("C:\\S\\Sub");
    files.AddFile("C:\\S-Disabled\\other.lnk", "parked");
    // Folders and hidden or system files are not listed.
    EXPECT_EQ(files.ListNormalFiles("c:\\s\\", "*.*"), (std::vector<std::string>{"app.lnk", "other.lnk"}));

    // A move onto an existing file or into a missing folder changes nothing.
    EXPECT_FALSE(files.MoveFileNoReplace("C:\\S\\other.lnk", "C:\\S-Disabled\\other.lnk"));
    EXPECT_EQ(files.Content("C:\\S-Disabled\\other.lnk"), "parked");
    EXPECT_EQ(files.Content("C:\\S\\other.lnk"), "other");
    EXPECT_FALSE(files.MoveFileNoReplace("C:\\S\\app.lnk", "C:\\Missing\\app.lnk"));
    EXPECT_TRUE(files.Exists("C:\\S\\app.lnk"));
    EXPECT_FALSE(files.CopyFileTo("C:\\S\\other.lnk", "C:\\S-Disabled\\other.lnk", true));
    EXPECT_EQ(files.Content("C:\\S-Disabled\\other.lnk"), "parked");

    // Read-only files are not deleted; names match without case.
    files.SetAttributes("C:\\S\\other.lnk", FileAttr::ReadOnly);
    EXPECT_FALSE(files.RemoveFile("C:\\S\\other.lnk"));
    files.SetAttributes("C:\\S\\other.lnk", FileAttr::Normal);
    EXPECT_TRUE(files.RemoveFile("c:\\s\\OTHER.lnk"));
    EXPECT_FALSE(files.Exists("C:\\S\\other.lnk"));
}
