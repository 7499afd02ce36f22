// The shell as Windows has it: Startup folders, shortcuts as other programs
// read them, and starting programs and documents.

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

TEST_F(ShellTest, ShortcutsKeepEverythingWrittenIntoThemAsOtherProgramsReadThem) {
    ShortcutInfo shortcut;
    shortcut.path = scratch / "complete.lnk";
    shortcut.target = FixturePath("fixture_noversion");
    ASSERT_TRUE(shell.WriteShortcut(shortcut));
    // Writing again replaces it.
    shortcut.target = FixturePath("fixture_complete");
    shortcut.arguments = "/quiet \"two words\"";
    shortcut.workingDirectory = scratch.Path();
    shortcut.showCommand = SW_SHOWMINNOACTIVE;
    shortcut.iconFile = FixturePath("fixture_nocompany");
    shortcut.iconIndex = 2;
    ASSERT_TRUE(shell.WriteShortcut(shortcut));
    EXPECT_EQ(shell.ReadShortcutTarget(shortcut.path), shortcut.target);

    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, link.put_void())) &&
                SUCCEEDED(link.As(file)) &&
                SUCCEEDED(file->Load(Wide(shortcut.path).c_str(), STGM_READ)));
    wchar_t text[1024] = {};
    int iconIndex = -1;
    ASSERT_TRUE(SUCCEEDED(link->GetArguments(text, 1024)));
    EXPECT_EQ(Narrow(text), shortcut.arguments);
    ASSERT_TRUE(SUCCEEDED(link->GetWorkingDirectory(text, 1024)));
    EXPECT_EQ(Narrow(text), shortcut.workingDirectory);
    ASSERT_TRUE(SUCCEEDED(link->GetIconLocation(text, 1024, &iconIndex)));
    EXPECT_EQ(Narrow(text), shortcut.iconFile);
    EXPECT_EQ(iconIndex, 2);
    // The show command is read from the file's header (offset 60 of the
    // documented layout): Wine's shell link object does not report it back.
    const std::string header = ReadTestFile(shortcut.path);
    ASSERT_GE(header.size(), 64u);
    EXPECT_EQ(static_cast<unsigned char>(header[60]), SW_SHOWMINNOACTIVE);

    // Non-ANSI names of the shortcut and its program.
    const std::string program = scratch / "Прогр日本.exe";
    ASSERT_TRUE(files.CopyFileTo(FixturePath("fixture_complete"), program, true));
    shortcut = ShortcutInfo{};
    shortcut.path = scratch / "Ярлык 日本.lnk";
    shortcut.target = program;
    ASSERT_TRUE(shell.WriteShortcut(shortcut));
    EXPECT_EQ(shell.ReadShortcutTarget(shortcut.path), program);
}

TEST_F(ShellTest, UnreadableOrUnwritableShortcutsGiveNothing) {
    WriteTestFile(scratch / "text.lnk", "this is no shortcut");
    for (const std::string& path : {scratch / "text.lnk", scratch / "absent.lnk", std::string()}) {
        EXPECT_FALSE(shell.ReadShortcutTarget(path).has_value()) << path;
    }
    ShortcutInfo shortcut;
    shortcut.path = scratch / "absent\\folder\\x.lnk";
    shortcut.target = FixturePath("fixture_complete");
    EXPECT_FALSE(shell.WriteShortcut(shortcut));
}

TEST_F(ShellTest, StartCommandLineRunsProgramsWithArgumentsAndEnvironment) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"DOVOVIZA_TEST_OUT", Wide(scratch.Path()).c_str()));
    ASSERT_TRUE(shell.StartCommandLine("\"" + CommandProcessor() +
                                       "\" /c echo started> \"%DOVOVIZA_TEST_OUT%\\started.txt\""));
    EXPECT_NE(WaitForFile(scratch / "started.txt").find("started"), std::string::npos);
    EXPECT_TRUE(SetEnvironmentVariableW(L"DOVOVIZA_TEST_OUT", nullptr));
    EXPECT_TRUE(shell.StartCommandLine("\"" + FixturePath("fixture_noversion") + "\" /argument"));
    EXPECT_FALSE(shell.StartCommandLine("\"" + (scratch / "absent.exe") + "\" /x"));
    EXPECT_FALSE(shell.StartCommandLine(""));
}

TEST_F(ShellTest, StartCommandLineOpensDocumentsThroughTheirAssociation) {
    // A document type of our own whose "open" command copies the document.
    // Registered for the machine: Wine's shell does not look at the user's classes.
    const std::string classes = "Software\\Classes\\";
    SetRaw(HKEY_LOCAL_MACHINE, classes + ".dovovizatest", L"", REG_SZ, WideBytes(L"dovoviza.testdocument"));
    SetRaw(HKEY_LOCAL_MACHINE, classes + "dovoviza.testdocument\\shell\\open\\command", L"", REG_SZ,
           WideBytes(Wide("\"" + CommandProcessor() + "\" /c copy \"%1\" \"" + (scratch / "opened.txt") + "\"")));
    WriteTestFile(scratch / "my document.dovovizatest", "document body");
    const bool started = shell.StartCommandLine("\"" + (scratch / "my document.dovovizatest") + "\" extra");
    const std::string opened = WaitForFile(scratch / "opened.txt");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, Wide(classes + ".dovovizatest"));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, Wide(classes + "dovoviza.testdocument"));
    EXPECT_TRUE(started);
    EXPECT_EQ(opened, "document body");
}

TEST_F(ShellTest, OpenStartsProgramsInTheirWorkingFolderAndMissingFilesFail) {
    EXPECT_TRUE(shell.Open(FixturePath("fixture_complete"), "", ""));
    ASSERT_TRUE(shell.Open(CommandProcessor(), "/c cd > here.txt", scratch.Path()));
    EXPECT_NE(WaitForFile(scratch / "here.txt").find(scratch.Path()), std::string::npos);
    for (const std::string& missing : {scratch / "absent.exe", std::string()}) {
        EXPECT_FALSE(shell.Open(missing, "", "")) << missing;
        EXPECT_FALSE(shell.ShowProperties(missing)) << missing;
    }
}

}  // namespace
