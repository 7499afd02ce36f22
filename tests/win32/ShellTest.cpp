#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "Win32TestSupport.h"
#include "platform/Text.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;

namespace {

// Started programs run on their own; give them time to leave their trace.
std::string WaitForFile(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        const std::string content = ReadTestFile(path);
        if (content != "<missing>" && !content.empty()) return content;
        Sleep(50);
    }
    return "<missing>";
}

std::string CommandProcessor() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    EXPECT_GT(length, 0u);
    return Narrow(folder) + "\\cmd.exe";
}

// What another program finds in a shortcut file.
struct StoredShortcut {
    std::wstring path, arguments, workingDirectory, iconFile;
    int iconIndex = -1;
    int showCommand = -1;
};

std::optional<StoredShortcut> LoadShortcut(const std::string& lnkPath) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())) ||
        FAILED(link.As(file)) || FAILED(file->Load(Wide(lnkPath).c_str(), STGM_READ)))
        return std::nullopt;
    StoredShortcut stored;
    wchar_t buffer[1024] = {};
    if (FAILED(link->GetPath(buffer, 1024, nullptr, SLGP_RAWPATH))) return std::nullopt;
    stored.path = buffer;
    if (FAILED(link->GetArguments(buffer, 1024))) return std::nullopt;
    stored.arguments = buffer;
    if (FAILED(link->GetWorkingDirectory(buffer, 1024))) return std::nullopt;
    stored.workingDirectory = buffer;
    if (FAILED(link->GetIconLocation(buffer, 1024, &stored.iconIndex))) return std::nullopt;
    stored.iconFile = buffer;
    // The show command is read from the file's header (offset 60 of the
    // documented layout): Wine's shell link object does not report it back.
    const std::string header = ReadTestFile(lnkPath);
    if (header.size() < 64) return std::nullopt;
    stored.showCommand = static_cast<unsigned char>(header[60]);
    return stored;
}

class ShellTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    Win32Shell shell;
    Win32FileSystem files;
};

TEST_F(ShellTest, StartupFoldersExistAndHaveNoTrailingBackslash) {
    const std::string user = shell.StartupFolder(StartupFolderKind::User);
    const std::string common = shell.StartupFolder(StartupFolderKind::Common);
    for (const std::string& folder : {user, common}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_NE(folder.back(), '\\') << folder;
        EXPECT_TRUE(files.FolderExists(folder)) << folder;
    }
    EXPECT_NE(user, common);
}

TEST_F(ShellTest, ShortcutsKeepEverythingWrittenIntoThem) {
    const std::string target = FixturePath("fixture_complete");
    ShortcutInfo shortcut;
    shortcut.path = scratch / "complete.lnk";
    shortcut.target = target;
    shortcut.arguments = "/quiet \"two words\"";
    shortcut.workingDirectory = scratch.Path();
    shortcut.showCommand = SW_SHOWMINNOACTIVE;
    shortcut.iconFile = FixturePath("fixture_nocompany");
    shortcut.iconIndex = 2;
    ASSERT_TRUE(shell.WriteShortcut(shortcut));

    EXPECT_EQ(shell.ReadShortcutTarget(shortcut.path), target);
    const auto stored = LoadShortcut(shortcut.path);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(Narrow(stored->arguments), shortcut.arguments);
    EXPECT_EQ(Narrow(stored->workingDirectory), shortcut.workingDirectory);
    EXPECT_EQ(stored->showCommand, SW_SHOWMINNOACTIVE);
    EXPECT_EQ(Narrow(stored->iconFile), shortcut.iconFile);
    EXPECT_EQ(stored->iconIndex, 2);
}

TEST_F(ShellTest, WritingAShortcutAgainReplacesIt) {
    ShortcutInfo shortcut;
    shortcut.path = scratch / "entry.lnk";
    shortcut.target = FixturePath("fixture_complete");
    ASSERT_TRUE(shell.WriteShortcut(shortcut));
    shortcut.target = FixturePath("fixture_noversion");
    ASSERT_TRUE(shell.WriteShortcut(shortcut));
    EXPECT_EQ(shell.ReadShortcutTarget(shortcut.path), FixturePath("fixture_noversion"));
}

TEST_F(ShellTest, ShortcutsWithNonAnsiNames) {
    const std::string program = scratch / "Прогр日本.exe";
    ASSERT_TRUE(files.CopyFileTo(FixturePath("fixture_complete"), program, true));
    ShortcutInfo shortcut;
    shortcut.path = scratch / "Ярлык 日本.lnk";
    shortcut.target = program;
    ASSERT_TRUE(shell.WriteShortcut(shortcut));
    EXPECT_EQ(shell.ReadShortcutTarget(shortcut.path), program);
}

TEST_F(ShellTest, UnreadableShortcutsGiveNothing) {
    WriteTestFile(scratch / "text.lnk", "this is no shortcut");
    EXPECT_FALSE(shell.ReadShortcutTarget(scratch / "text.lnk").has_value());
    EXPECT_FALSE(shell.ReadShortcutTarget(scratch / "absent.lnk").has_value());
    EXPECT_FALSE(shell.ReadShortcutTarget("").has_value());
    ShortcutInfo shortcut;
    shortcut.path = scratch / "absent\\folder\\x.lnk";
    shortcut.target = FixturePath("fixture_complete");
    EXPECT_FALSE(shell.WriteShortcut(shortcut));
}

TEST_F(ShellTest, StartCommandLineRunsTheCommandWithItsArgumentsAndEnvironment) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"DOVOVIZA_TEST_OUT", Wide(scratch.Path()).c_str()));
    const std::string command =
        "\"" + CommandProcessor() + "\" /c echo started> \"%DOVOVIZA_TEST_OUT%\\started.txt\"";
    ASSERT_TRUE(shell.StartCommandLine(command));
    EXPECT_NE(WaitForFile(scratch / "started.txt").find("started"), std::string::npos);
    EXPECT_TRUE(SetEnvironmentVariableW(L"DOVOVIZA_TEST_OUT", nullptr));

    EXPECT_TRUE(shell.StartCommandLine("\"" + FixturePath("fixture_noversion") + "\" /argument"));
}

TEST_F(ShellTest, StartCommandLineOpensDocumentsThroughTheirAssociation) {
    // A document type of our own whose "open" command copies the document.
    // Registered for the machine: Wine's shell does not look at the user's classes.
    const std::string classes = "Software\\Classes\\";
    Win32Registry registry;
    const auto extension = registry.CreateKey(Hive::LocalMachine, classes + ".dovovizatest");
    const auto command = registry.CreateKey(
        Hive::LocalMachine, classes + "dovoviza.testdocument\\shell\\open\\command");
    ASSERT_TRUE(extension && command);
    ASSERT_TRUE(extension->WriteValue("", RegType::String,
                                      EncodeUtf16LeWithNul("dovoviza.testdocument")));
    ASSERT_TRUE(command->WriteValue(
        "", RegType::String,
        EncodeUtf16LeWithNul("\"" + CommandProcessor() + "\" /c copy \"%1\" \"" +
                             (scratch / "opened.txt") + "\"")));

    WriteTestFile(scratch / "my document.dovovizatest", "document body");
    const bool started =
        shell.StartCommandLine("\"" + (scratch / "my document.dovovizatest") + "\" extra");
    const std::string opened = WaitForFile(scratch / "opened.txt");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, Wide(classes + ".dovovizatest"));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, Wide(classes + "dovoviza.testdocument"));
    EXPECT_TRUE(started);
    EXPECT_EQ(opened, "document body");
}

TEST_F(ShellTest, StartingSomethingMissingFails) {
    EXPECT_FALSE(shell.StartCommandLine("\"" + (scratch / "absent.exe") + "\" /x"));
    EXPECT_FALSE(shell.StartCommandLine(""));
}

TEST_F(ShellTest, OpenStartsProgramsInTheirWorkingFolder) {
    EXPECT_TRUE(shell.Open(FixturePath("fixture_complete"), "", ""));
    ASSERT_TRUE(shell.Open(CommandProcessor(), "/c cd > here.txt", scratch.Path()));
    EXPECT_NE(WaitForFile(scratch / "here.txt").find(scratch.Path()), std::string::npos);
    EXPECT_FALSE(shell.Open(scratch / "absent.exe", "", ""));
    EXPECT_FALSE(shell.Open("", "", ""));
}

TEST_F(ShellTest, PropertiesOfAMissingFileFail) {
    EXPECT_FALSE(shell.ShowProperties(scratch / "absent.exe"));
    EXPECT_FALSE(shell.ShowProperties(""));
}

}  // namespace
