// Files and the shell as Windows has them: which files count, moves that never
// replace, dates of the user's clock, folders, shortcuts as other programs
// read them, and starting programs and documents.

#include "WinTest.h"

#include <shlobj.h>

#include <algorithm>

#include "platform/win32/Handles.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace wintest;

namespace {

class FilesAndShell : public PrefixTest {
protected:
    std::vector<std::string> List(const std::string& folder, const std::string& pattern) {
        auto names = files.ListNormalFiles(folder, pattern);
        std::sort(names.begin(), names.end());
        return names;
    }
    // What a started program leaves behind, once it has.
    std::string Trace(const std::string& path) {
        WaitUntil([&] { return !ReadAll(path).empty() && ReadAll(path) != "-"; });
        return ReadAll(path);
    }
};

TEST_F(FilesAndShell, OnlyNormalFilesAreListedAndFound) {
    const std::string unicode = "Прогр日本 \xF0\x9F\x98\x80.txt";
    for (const auto& [name, flags] :
         {std::pair{"plain.exe", 0}, {"readonly.txt", FILE_ATTRIBUTE_READONLY},
          {"archive.txt", FILE_ATTRIBUTE_ARCHIVE}, {"hidden.exe", FILE_ATTRIBUTE_HIDDEN},
          {"system.dll", FILE_ATTRIBUTE_SYSTEM}, {unicode.c_str(), 0}})
        WriteAll(Scratch(name), "12345", flags);
    ASSERT_TRUE(CreateDirectoryW(Wide(Scratch("folder.txt")).c_str(), nullptr));
    const std::vector<std::string> normal = {"archive.txt", "plain.exe", "readonly.txt", unicode};
    EXPECT_EQ(List(Scratch(), "*.*"), normal);
    EXPECT_EQ(List(Scratch() + "\\", "*"), normal);
    EXPECT_EQ(List(Scratch(), "*.exe"), std::vector<std::string>{"plain.exe"});
    EXPECT_TRUE(List(Scratch("absent"), "*.*").empty() && List("", "*.*").empty());
    const std::pair<std::string, bool> lookups[] = {
        {"plain.exe", true}, {"PLAIN.EXE", true}, {"plain.exe ", true}, {"pl?in.exe", true},
        {"*.exe", true},  // the listing goes past the hidden match
        {"*.dll", false}, {"hidden.exe", false}, {"system.dll", false}, {"folder.txt", false},
        {"absent.exe", false}, {"absent\\plain.exe", false}, {unicode, true}};
    for (const auto& [name, found] : lookups)
        EXPECT_EQ(files.NormalFileExists(Scratch(name)), found) << name;
}

TEST_F(FilesAndShell, MovesNeverReplaceCopiesOnlyWhenAskedAndFoldersAreMadeAndHidden) {
    WriteAll(Scratch("from.txt"), "source");
    WriteAll(Scratch("to.txt"), "target");
    EXPECT_FALSE(files.MoveFileNoReplace(Scratch("from.txt"), Scratch("to.txt")) ||
                 files.CopyFileTo(Scratch("from.txt"), Scratch("to.txt"), true));
    EXPECT_EQ(ReadAll(Scratch("to.txt")), "target");
    EXPECT_TRUE(files.CopyFileTo(Scratch("from.txt"), Scratch("to.txt"), false));
    EXPECT_EQ(ReadAll(Scratch("to.txt")), "source");
    const std::string deep = Scratch("Папка\\two\\three");
    ASSERT_TRUE(files.CreateFolderPath(deep) && files.CreateFolderPath(deep + "\\"));
    EXPECT_TRUE(files.MoveFileNoReplace(Scratch("from.txt"), Scratch("Папка\\from.txt")));
    EXPECT_TRUE(Gone(Scratch("from.txt")) && ReadAll(Scratch("Папка\\from.txt")) == "source");
    EXPECT_TRUE(files.RemoveFile(Scratch("to.txt")));
    EXPECT_FALSE(files.RemoveFile(Scratch("to.txt")));
    WriteAll(Scratch("file"), "f");  // a file in the way cannot become a folder
    EXPECT_FALSE(files.CreateFolderPath(Scratch("file\\below")) || files.FolderExists(Scratch("file")));
    // Wine keeps no read-only flag on folders: the system flag stands for "the rest".
    ASSERT_TRUE(SetFileAttributesW(Wide(deep).c_str(), FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(files.HideFolder(deep) && files.FolderExists(deep));
    const DWORD flags = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(GetFileAttributesW(Wide(deep).c_str()) & flags, flags);
    EXPECT_FALSE(files.HideFolder(Scratch("absent")));
}

TEST_F(FilesAndShell, DetailsInTheUsersClockAndSmallFilesAreReadWhole) {
    std::string content(5000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    WriteAll(Scratch("data.bin"), content);
    WriteAll(Scratch("empty.bin"), "");
    const SYSTEMTIME local{2021, 3, 0, 4, 12, 34, 56, 0};  // noon: far from any clock change
    SYSTEMTIME utc{};
    FILETIME time{};
    UniqueHandle file(CreateFileW(Wide(Scratch("data.bin")).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) &&
                SystemTimeToFileTime(&utc, &time) && SetFileTime(file.get(), &time, &time, &time));
    file.reset();
    const auto details = files.GetDetails(Scratch("data.bin"));
    ASSERT_TRUE(details);
    EXPECT_EQ(details->size, 5000u);
    EXPECT_EQ(details->modified, (DateTime{2021, 3, 4, 12, 34, 56}));
    EXPECT_EQ(details->created, details->modified);
    EXPECT_FALSE(files.GetDetails(Scratch("absent.bin")) || files.GetDetails(Scratch()));
    EXPECT_EQ(files.ReadSmallFile(Scratch("data.bin"), 5000),
              std::vector<std::uint8_t>(content.begin(), content.end()));
    EXPECT_EQ(files.ReadSmallFile(Scratch("empty.bin"), 10), std::vector<std::uint8_t>{});
    EXPECT_FALSE(files.ReadSmallFile(Scratch("data.bin"), 4999) ||
                 files.ReadSmallFile(Scratch("absent.bin"), 10) || files.ReadSmallFile(Scratch(), 10));
}

TEST_F(FilesAndShell, ShortcutsKeepWhatIsWrittenIntoThemAsOtherProgramsReadThem) {
    const std::string common = shell.StartupFolder(StartupFolderKind::Common);
    EXPECT_EQ(shell.StartupFolder(StartupFolderKind::User), UserStartup());
    EXPECT_TRUE(files.FolderExists(common) && common.back() != '\\' && common != UserStartup());
    ShortcutInfo shortcut;
    shortcut.path = Scratch("Ярлык 日本.lnk");
    shortcut.target = FixturePath("fixture_noversion");
    ASSERT_TRUE(shell.WriteShortcut(shortcut));
    shortcut.target = Scratch("Прогр日本.exe");  // writing again replaces it
    ASSERT_TRUE(files.CopyFileTo(FixturePath("fixture_complete"), shortcut.target, true));
    shortcut.arguments = "/quiet \"two words\"";
    shortcut.workingDirectory = Scratch();
    shortcut.showCommand = SW_SHOWMINNOACTIVE;
    shortcut.iconFile = FixturePath("fixture_noversion");
    shortcut.iconIndex = 2;
    ASSERT_TRUE(shell.WriteShortcut(shortcut));
    EXPECT_EQ(shell.ReadShortcutTarget(shortcut.path), shortcut.target);

    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> persist;
    wchar_t arguments[1024] = {}, folder[1024] = {}, icon[1024] = {};
    int index = -1;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, link.put_void())) &&
                SUCCEEDED(link.As(persist)) &&
                SUCCEEDED(persist->Load(Wide(shortcut.path).c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetArguments(arguments, 1024)) &&
                SUCCEEDED(link->GetWorkingDirectory(folder, 1024)) &&
                SUCCEEDED(link->GetIconLocation(icon, 1024, &index)));
    EXPECT_EQ(Narrow(arguments) + "|" + Narrow(folder) + "|" + Narrow(icon) + std::to_string(index),
              shortcut.arguments + "|" + shortcut.workingDirectory + "|" + shortcut.iconFile + "2");
    // Wine's link object does not report the show command: offset 60 of the file holds it.
    EXPECT_EQ(ReadAll(shortcut.path).substr(60, 1), std::string(1, SW_SHOWMINNOACTIVE));
    WriteAll(Scratch("text.lnk"), "this is no shortcut");
    for (const std::string& path : {Scratch("text.lnk"), Scratch("absent.lnk"), std::string()})
        EXPECT_FALSE(shell.ReadShortcutTarget(path)) << path;
    shortcut.path = Scratch("absent\\x.lnk");
    EXPECT_FALSE(shell.WriteShortcut(shortcut));
}

TEST_F(FilesAndShell, ProgramsAndDocumentsStartWithTheirArgumentsFolderAndEnvironment) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"DOVOVIZA_TEST_OUT", Wide(Scratch()).c_str()));
    const std::string cmd = "\"" + Cmd() + "\" /c ";
    EXPECT_TRUE(shell.StartCommandLine(cmd + "echo started> \"%DOVOVIZA_TEST_OUT%\\started.txt\""));
    EXPECT_NE(Trace(Scratch("started.txt")).find("started"), std::string::npos);
    EXPECT_FALSE(shell.StartCommandLine("\"" + Scratch("absent.exe") + "\" /x"));
    EXPECT_FALSE(shell.StartCommandLine(""));
    // A document type of our own whose "open" copies the document; for the
    // machine, since Wine's shell does not look at the user's classes.
    const std::wstring classes = L"Software\\Classes\\";
    SetRaw(HKEY_LOCAL_MACHINE, classes + L".dovoviza-test", L"", REG_SZ, Bytes(L"dovoviza-test.document"));
    SetRaw(HKEY_LOCAL_MACHINE, classes + L"dovoviza-test.document\\shell\\open\\command", L"", REG_SZ,
           Bytes(Wide(cmd + "copy \"%1\" \"" + Scratch("opened.txt") + "\"")));
    WriteAll(Scratch("my document.dovoviza-test"), "document body");
    EXPECT_TRUE(shell.StartCommandLine("\"" + Scratch("my document.dovoviza-test") + "\" extra"));
    EXPECT_EQ(Trace(Scratch("opened.txt")), "document body");
    ASSERT_TRUE(shell.Open(Cmd(), "/c cd > here.txt", Scratch()));
    EXPECT_NE(Trace(Scratch("here.txt")).find(Scratch()), std::string::npos);
    for (const std::string& missing : {Scratch("absent.exe"), std::string()})
        EXPECT_FALSE(shell.Open(missing, "", "") || shell.ShowProperties(missing)) << missing;
}

}  // namespace
