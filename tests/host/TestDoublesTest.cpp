// The doubles stand in for Windows in every other test, so the Windows rules
// they copy are checked here.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeFileSystem.h"
#include "support/FakeIconList.h"
#include "support/FakeRegistry.h"
#include "support/FakeShell.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::test;

TEST(FakeRegistry, BehavesLikeTheWindowsRegistry) {
    FakeRegistry reg;
    reg.SetString(Hive::CurrentUser, "Software\\App", "Zeta", "1");
    reg.SetString(Hive::CurrentUser, "software\\APP\\", "alpha", "2");
    reg.SetString(Hive::CurrentUser, "Software\\App", "ZETA", "3");  // same value, first spelling kept
    EXPECT_EQ(reg.ValueNames(Hive::CurrentUser, "SOFTWARE\\app"),
              (std::vector<std::string>{"Zeta", "alpha"}));
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, "Software\\App", "zeta"), "3");
    EXPECT_FALSE(reg.HasKey(Hive::LocalMachine, "Software\\App"));  // hives are separate

    auto key = reg.OpenKey(Hive::CurrentUser, "Software\\App", true);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->WriteValue("Zeta", RegType::Dword, {1, 0, 0, 0}));
    EXPECT_EQ(reg.GetValue(Hive::CurrentUser, "Software\\App", "Zeta")->type, RegType::Dword);
    EXPECT_EQ(*reg.OpenKey(Hive::CurrentUser, "Software", false)->SubkeyCount(), 1u);

    // A handle to a removed key fails instead of reaching into nothing.
    reg.RemoveKey(Hive::CurrentUser, "Software");
    EXPECT_FALSE(key->ValueCount());
    EXPECT_FALSE(key->WriteValue("x", RegType::String, {0, 0}));
    EXPECT_FALSE(reg.HasKey(Hive::CurrentUser, "Software\\App"));

    reg.FailEverywhere(RegFault::Create);
    EXPECT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\New"), nullptr);
    reg.ClearFailures();
    EXPECT_NE(reg.CreateKey(Hive::CurrentUser, "Software\\New"), nullptr);
}

TEST(FakeFileSystem, ListsAndFindsAsWindowsDoes) {
    FakeFileSystem files;
    files.AddFile("C:\\Startup\\b.lnk");
    files.AddFile("C:\\Startup\\README");
    files.AddFile("C:\\Startup\\desktop.ini", "x", FileAttr::Hidden | FileAttr::System);
    files.AddFile("C:\\Startup\\a.txt", "x", FileAttr::ReadOnly);
    files.AddFolder("C:\\Startup\\Sub");
    files.AddFile("C:\\Startup\\Sub\\inner.txt");
    EXPECT_EQ(files.ListNormalFiles("c:\\startup\\", "*.*"),
              (std::vector<std::string>{"b.lnk", "README", "a.txt"}));
    EXPECT_EQ(files.ListNormalFiles("C:/Startup", "*.LNK"), std::vector<std::string>{"b.lnk"});
    EXPECT_TRUE(files.ListNormalFiles("C:\\Nowhere", "*.*").empty());
    EXPECT_EQ(files.AllFiles("C:\\Startup").size(), 4u);
    EXPECT_TRUE(files.FolderExists("C:\\"));
    EXPECT_TRUE(files.FolderExists("C:\\Startup\\sub\\"));
    EXPECT_FALSE(files.NormalFileExists("C:\\Startup\\Sub"));
    EXPECT_FALSE(files.NormalFileExists("C:\\*\\inner.txt"));

    const FileDetails big{std::uint64_t{3} << 31, {2020, 1, 2, 3, 4, 5}, {}, {}};
    files.SetDetails("C:\\Startup\\README", big);
    EXPECT_EQ(files.GetDetails("c:\\startup\\readme")->size, big.size);
    EXPECT_EQ(files.GetDetails("C:\\Startup\\desktop.ini")->size, 1u);
    EXPECT_FALSE(files.GetDetails("C:\\Startup\\Sub"));
    EXPECT_EQ(files.ReadSmallFile("C:\\Startup\\a.txt", 1), std::vector<std::uint8_t>{'x'});
    EXPECT_FALSE(files.ReadSmallFile("C:\\Startup\\a.txt", 0));
}

TEST(FakeFileSystem, MovesCopiesDeletesAndFailsOnRequest) {
    FakeFileSystem files;
    files.AddFile("C:\\S\\app.lnk", "link");
    files.AddFile("C:\\S\\other.lnk", "other");
    ASSERT_TRUE(files.CreateFolderPath("C:\\S-Disabled\\"));
    ASSERT_TRUE(files.HideFolder("C:\\S-Disabled"));
    EXPECT_NE(files.Attributes("C:\\S-Disabled") & FileAttr::Hidden, 0u);

    files.AddFile("C:\\S-Disabled\\other.lnk", "parked");
    EXPECT_FALSE(files.MoveFileNoReplace("C:\\S\\other.lnk", "C:\\S-Disabled\\other.lnk"));
    EXPECT_EQ(files.Content("C:\\S-Disabled\\other.lnk"), "parked");
    EXPECT_FALSE(files.MoveFileNoReplace("C:\\S\\app.lnk", "C:\\Missing\\app.lnk"));
    EXPECT_TRUE(files.MoveFileNoReplace("C:\\S\\app.lnk", "C:\\S-Disabled\\app.lnk"));
    EXPECT_FALSE(files.Exists("C:\\S\\app.lnk"));
    EXPECT_EQ(files.Content("C:\\S-Disabled\\app.lnk"), "link");

    files.Fail(FileFault::Move, "C:\\S");
    EXPECT_FALSE(files.MoveFileNoReplace("C:\\S-Disabled\\app.lnk", "C:\\S\\app.lnk"));
    EXPECT_TRUE(files.Exists("C:\\S-Disabled\\app.lnk"));
    files.FailEverywhere(FileFault::Copy);
    EXPECT_FALSE(files.CopyFileTo("C:\\S\\other.lnk", "C:\\S\\copy.lnk", true));
    files.ClearFailures();

    EXPECT_FALSE(files.CopyFileTo("C:\\S\\other.lnk", "C:\\S-Disabled\\other.lnk", true));
    EXPECT_TRUE(files.CopyFileTo("C:\\S\\other.lnk", "C:\\S-Disabled\\other.lnk", false));
    EXPECT_EQ(files.Content("C:\\S-Disabled\\other.lnk"), "other");
    EXPECT_EQ(files.Content("C:\\S\\other.lnk"), "other");

    files.SetAttributes("C:\\S\\other.lnk", FileAttr::ReadOnly);
    EXPECT_FALSE(files.RemoveFile("C:\\S\\other.lnk"));
    files.SetAttributes("C:\\S\\other.lnk", FileAttr::Normal);
    files.Fail(FileFault::Delete, "C:\\S\\other.lnk");
    EXPECT_FALSE(files.RemoveFile("C:\\S\\other.lnk"));
    files.ClearFailures();
    EXPECT_TRUE(files.RemoveFile("c:\\s\\OTHER.lnk"));
    EXPECT_FALSE(files.RemoveFile("C:\\S\\other.lnk"));

    files.AddFile("C:\\Blocker", "file");
    EXPECT_FALSE(files.CreateFolderPath("C:\\Blocker\\Sub"));
}

TEST(FakeShell, ShortcutsTravelWithTheirFiles) {
    FakeFileSystem files;
    FakeShell shell(&files);
    files.AddFolder(shell.userStartup);
    files.AddFolder(shell.userStartup + "-Disabled");
    const std::string lnk = shell.userStartup + "\\Tool.lnk";

    ShortcutInfo shortcut;
    shortcut.path = lnk;
    shortcut.target = "D:\\Tool\\tool.exe";
    ASSERT_TRUE(shell.WriteShortcut(shortcut));
    EXPECT_TRUE(files.NormalFileExists(lnk));
    ASSERT_TRUE(files.MoveFileNoReplace(lnk, shell.userStartup + "-Disabled\\Tool.lnk"));
    EXPECT_EQ(shell.ReadShortcutTarget(shell.userStartup + "-Disabled\\tool.LNK"), "D:\\Tool\\tool.exe");
    EXPECT_FALSE(shell.ReadShortcutTarget(lnk));

    files.AddFile(shell.userStartup + "\\broken.lnk", "not a shortcut");
    EXPECT_FALSE(shell.ReadShortcutTarget(shell.userStartup + "\\broken.lnk"));
    shortcut.path = "C:\\NoSuchFolder\\x.lnk";
    EXPECT_FALSE(shell.WriteShortcut(shortcut));
    EXPECT_EQ(shell.written.size(), 2u);

    FakeShell bare;
    bare.AddShortcut("C:\\S\\A.lnk", "C:\\a.exe");
    EXPECT_EQ(bare.ReadShortcutTarget("c:\\s\\a.LNK"), "C:\\a.exe");
    EXPECT_EQ(bare.StartupFolder(StartupFolderKind::Common), bare.commonStartup);
}

TEST(FakeIconListAndPrompt, RecordWhatTheyAreAsked) {
    FakeFileSystem files;
    files.AddFile("C:\\a.exe");
    FakeIconList icons(&files);
    icons.noIcon.insert("C:\\blank.exe");
    files.AddFile("C:\\blank.exe");
    EXPECT_EQ(icons.AddFileIcon("C:\\a.exe"), 1);
    EXPECT_EQ(icons.AddFileIcon("C:\\missing.exe"), 0);
    EXPECT_EQ(icons.AddFileIcon("C:\\BLANK.exe"), 0);
    EXPECT_EQ(icons.AddFileIcon("C:\\"), 2);  // folders have icons
    EXPECT_EQ(icons.Count(), 2);
    EXPECT_EQ(icons.requests.size(), 4u);
    icons.Clear();
    EXPECT_EQ(icons.AddFileIcon("C:\\a.exe"), 1);

    ScriptedPrompt prompt;
    prompt.Answer(kAnswerNo);
    EXPECT_EQ(prompt.Show("Delete?", "Title", MsgStyle::Question), kAnswerNo);
    EXPECT_EQ(prompt.Show("Done", "", MsgStyle::Information), kAnswerOk);
    ASSERT_EQ(prompt.calls.size(), 2u);
    EXPECT_EQ(prompt.calls[0].text, "Delete?");
    EXPECT_EQ(prompt.calls[0].style, MsgStyle::Question);
}
