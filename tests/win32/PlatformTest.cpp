// The platform layer against the real system: the registry's exact names,
// types and bytes, missing and read-only keys and the 64-bit view; files that
// count, moves that never replace, folders, shortcuts as other programs read them.

#include "WinTest.h"
#include "platform/Text.h"

using namespace dovoviza;
using namespace wintest;

namespace {

const std::string kKey = Narrow(kScratchKey) + "\\key";

using Registry = PrefixTest;

TEST_F(Registry, NamesTypesAndBytesGoInAndComeOutExactlyInTheSystemsOrder) {
    const RegValue values[] = {
        {"emoji \xF0\x9F\x98\x80", RegType::String, EncodeUtf16LeWithNul("y")},
        {Narrow(std::wstring(L"odd") + wchar_t(0xD800)), RegType::String, {}},  // a lone surrogate
        {std::string(300, 'n'), RegType::String, EncodeUtf16LeWithNul(std::string(10'000, 'z'))},
        {"expand", RegType::ExpandString, Bytes(L"%SystemRoot%\\x.exe")},  // not expanded
        {"qword", RegType::Qword, {8, 7, 6, 5, 4, 3, 2, 0}},
        {"multi", RegType::MultiString, Bytes(std::wstring(L"one\0two\0\0", 9), false)},
        {"unterminated", RegType::String, Bytes(L"abc", false)},  // no NUL added
        {"odd length", RegType::String, {'a', 0, 'b'}}};
    auto key = registry.CreateKey(Hive::CurrentUser, kKey);
    ASSERT_TRUE(key);
    for (const RegValue& v : values) ASSERT_TRUE(key->WriteValue(v.name, v.type, v.data));
    EXPECT_EQ(key->ValueCount(), std::size(values));
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Wide(kKey).c_str(), 0, KEY_QUERY_VALUE, &raw), 0);
    for (DWORD i = 0; i < std::size(values); ++i) {
        std::wstring name(400, L'\0');
        DWORD length = 400;
        ASSERT_EQ(RegEnumValueW(raw, i, name.data(), &length, 0, 0, 0, 0), 0);
        name.resize(length);
        const auto ours = key->EnumValue(i);
        ASSERT_TRUE(ours);
        EXPECT_EQ(Wide(ours->name), name) << i;  // in the system's order
        const auto given = std::find_if(std::begin(values), std::end(values),
                                        [&](const RegValue& v) { return v.name == ours->name; });
        ASSERT_NE(given, std::end(values)) << ours->name;
        const Raw stored = GetRaw(HKEY_CURRENT_USER, Wide(kKey), name);
        const RegValue read = key->ReadValue(given->name).value_or(RegValue{});
        for (const auto& [type, data] : {std::pair{stored.type, stored.data},
                                         {DWORD{ours->type}, ours->data},
                                         {DWORD{read.type}, read.data}})
            EXPECT_TRUE(type == given->type && data == given->data) << given->name;
    }
    RegCloseKey(raw);
    EXPECT_FALSE(key->EnumValue(std::size(values)));
}

// The machine's keys are read in the 64-bit view whatever the program's own
// bitness, so that it names the WOW64 twins itself: what a 32-bit program
// writes to Software\X is Software\Wow6432Node\X to it, and never Software\X.
TEST_F(Registry, MissingReadOnlyAndWritableKeysAndTheMachinesKeysInThe64BitView) {
    const auto string = [](const char* text) { return EncodeUtf16LeWithNul(text); };
    const std::string absent = Narrow(kScratchKey) + "\\absent", below = kKey + "\\a\\b";
    EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, absent, true) ||
                 registry.KeyExists(Hive::CurrentUser, absent));
    auto created = registry.CreateKey(Hive::CurrentUser, below);  // parents too
    ASSERT_TRUE(created && created->WriteValue("v", RegType::String, string("1")));
    const auto readOnly = registry.OpenKey(Hive::CurrentUser, below, false);
    ASSERT_TRUE(readOnly && readOnly->ReadValue("V"));  // names match without regard to case
    EXPECT_FALSE(readOnly->WriteValue("w", RegType::String, string("2")) ||
                 readOnly->DeleteValue("v") || created->DeleteValue("absent"));

    const std::wstring path = std::wstring(kScratchKey) + L"\\machine";
    auto ours = registry.CreateKey(Hive::LocalMachine, Narrow(path));
    ASSERT_TRUE(ours && ours->WriteValue("ours", RegType::String, string("64")));
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, path, L"ours").data, Bytes(L"64"));
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, path, L"ours", KEY_WOW64_32KEY).status,
              ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(SetRaw(HKEY_LOCAL_MACHINE, path, L"theirs", REG_SZ, Bytes(L"32"), KEY_WOW64_32KEY));
    EXPECT_FALSE(registry.OpenKey(Hive::LocalMachine, Narrow(path), false)->ReadValue("theirs"));
    const auto twin = registry.OpenKey(Hive::LocalMachine,
                                       "Software\\Wow6432Node\\dovoviza-tests\\machine", false);
    ASSERT_TRUE(twin);
    EXPECT_EQ(twin->ReadValue("theirs").value_or(RegValue{}).data, Bytes(L"32"));
    EXPECT_FALSE(twin->ReadValue("ours"));
}

class FilesAndShell : public PrefixTest {
protected:
    std::vector<std::string> List(const std::string& folder, const std::string& pattern) {
        auto names = files.ListNormalFiles(folder, pattern);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FilesAndShell, OnlyNormalFilesAreListedAndFound) {
    const std::string unicode = "Прогр日本 \xF0\x9F\x98\x80.txt";
    for (const auto& [name, flags] : {std::pair{"plain.exe", 0},
                                      {"readonly.txt", FILE_ATTRIBUTE_READONLY},
                                      {"archive.txt", FILE_ATTRIBUTE_ARCHIVE},
                                      {"hidden.exe", FILE_ATTRIBUTE_HIDDEN},
                                      {"system.dll", FILE_ATTRIBUTE_SYSTEM},
                                      {unicode.c_str(), 0}})
        WriteAll(Scratch(name), "12345", flags);
    ASSERT_TRUE(CreateDirectoryW(Wide(Scratch("folder.txt")).c_str(), nullptr));
    const std::vector<std::string> normal = {"archive.txt", "plain.exe", "readonly.txt", unicode};
    EXPECT_EQ(List(Scratch(), "*.*"), normal);
    EXPECT_EQ(List(Scratch() + "\\", "*"), normal);
    EXPECT_EQ(List(Scratch(), "*.exe"), std::vector<std::string>{"plain.exe"});
    EXPECT_TRUE(List(Scratch("absent"), "*.*").empty() && List("", "*.*").empty());
    const std::pair<std::string, bool> lookups[] = {
        {"plain.exe", true},   {"PLAIN.EXE", true},   {"plain.exe ", true},
        {"pl?in.exe", true},   {"*.exe", true},  // the listing goes past the hidden match
        {"*.dll", false},      {"hidden.exe", false}, {"system.dll", false},
        {"folder.txt", false}, {"absent.exe", false}, {"absent\\plain.exe", false},
        {unicode, true}};
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
    EXPECT_FALSE(files.CreateFolderPath(Scratch("file\\below")) ||
                 files.FolderExists(Scratch("file")));
    // Wine keeps no read-only flag on folders: the system flag stands for "the rest".
    ASSERT_TRUE(SetFileAttributesW(Wide(deep).c_str(), FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(files.HideFolder(deep) && files.FolderExists(deep));
    const DWORD flags = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(GetFileAttributesW(Wide(deep).c_str()) & flags, flags);
    EXPECT_FALSE(files.HideFolder(Scratch("absent")));
}

TEST_F(FilesAndShell, ShortcutsKeepWhatIsWrittenIntoThemAsOtherProgramsReadThem) {
    const std::string common = shell.StartupFolder(StartupFolderKind::Common);
    EXPECT_EQ(shell.StartupFolder(StartupFolderKind::User), UserStartup());
    EXPECT_TRUE(files.FolderExists(common) && common.back() != '\\' && common != UserStartup());
    ShortcutInfo shortcut;
    shortcut.path = Scratch("Ярлык 日本.lnk");
    shortcut.target = Scratch("Прогр日本.exe");
    ASSERT_TRUE(files.CopyFileTo(FixturePath("fixture_complete"), shortcut.target, true));
    shortcut.arguments = "/quiet \"two words\"";
    shortcut.workingDirectory = Scratch();
    shortcut.showCommand = SW_SHOWMINNOACTIVE;
    shortcut.iconFile = FixturePath("fixture_noversion");
    shortcut.iconIndex = 2;
    ASSERT_TRUE(shell.WriteShortcut(shortcut));
    EXPECT_EQ(shell.ReadShortcutTarget(shortcut.path), shortcut.target);

    // What the file holds for other programs: its strings in UTF-16, and the
    // icon's index and the show command at offsets 56 and 60 of its header.
    const std::string stored = ReadAll(shortcut.path);
    for (const std::string& text :
         {shortcut.arguments, shortcut.workingDirectory, shortcut.iconFile}) {
        const std::vector<std::uint8_t> utf16 = Bytes(Wide(text), false);
        EXPECT_NE(stored.find(std::string(utf16.begin(), utf16.end())), std::string::npos) << text;
    }
    EXPECT_EQ(stored.substr(56, 5), std::string("\2\0\0\0", 4) + char(SW_SHOWMINNOACTIVE));
    WriteAll(Scratch("text.lnk"), "this is no shortcut");
    for (const std::string& path : {Scratch("text.lnk"), Scratch("absent.lnk"), std::string()})
        EXPECT_FALSE(shell.ReadShortcutTarget(path)) << path;
    shortcut.path = Scratch("absent\\x.lnk");
    EXPECT_FALSE(shell.WriteShortcut(shortcut));
}

}  // namespace
