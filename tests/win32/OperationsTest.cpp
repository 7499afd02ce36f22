// Disable, enable, delete, create and edit against the real registry and the
// real Startup folders of the test prefix.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "catalogue/FileDetails.h"
#include "catalogue/Loaders.h"
#include "catalogue/MainList.h"
#include "operations/EntryEditor.h"
#include "operations/ItemOperations.h"
#include "platform/Text.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"
#include "support/FakeTexts.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;
using dovoviza::test::FakeTexts;
using dovoviza::test::ScriptedPrompt;

namespace {

const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kRunDisabled = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
const std::string kUserRun = "Registry -> User Run";
const std::string kUserFolder = "Startup Folder -> User";

const std::wstring kExpandName = L"dovoviza-test-expand";
const std::wstring kForeignName =
    L"dovoviza-test-\u0417\u0430\u043f\u0443\u0441\u043a-\u65e5\u672c-\u2713";
const std::wstring kCreatedName = L"dovoviza-test-created";
const std::string kShortcutName = "dovoviza-test-shortcut";

struct RawValue {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};

// The value as any other program sees it, in the native view.
RawValue QueryRaw(const std::wstring& path, const std::wstring& name) {
    RawValue result;
    UniqueHKey key;
    result.status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0,
                                  KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put());
    if (result.status != ERROR_SUCCESS) return result;
    DWORD size = 0;
    result.status =
        RegQueryValueExW(key.get(), name.c_str(), nullptr, &result.type, nullptr, &size);
    if (result.status != ERROR_SUCCESS) return result;
    result.data.resize(size);
    result.status =
        RegQueryValueExW(key.get(), name.c_str(), nullptr, &result.type, result.data.data(), &size);
    result.data.resize(size);
    return result;
}

void SetRaw(const std::wstring& path, const std::wstring& name, DWORD type,
            const std::vector<std::uint8_t>& data) {
    UniqueHKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), name.c_str(), 0, type, data.data(),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
}

bool KeyThere(const std::wstring& path) {
    UniqueHKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                         key.put()) == ERROR_SUCCESS;
}

// Removes a key the test made, only while nothing else has been put into it.
void RemoveKeyIfEmpty(const std::wstring& path) {
    DWORD subkeys = 1, values = 1;
    {
        UniqueHKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                          key.put()) != ERROR_SUCCESS)
            return;
        if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
    }
    if (subkeys == 0 && values == 0)
        RegDeleteKeyExW(HKEY_CURRENT_USER, path.c_str(), KEY_WOW64_64KEY, 0);
}

void RemoveRaw(const std::wstring& path, const std::wstring& name) {
    UniqueHKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                      key.put()) == ERROR_SUCCESS) {
        RegDeleteValueW(key.get(), name.c_str());
    }
}

std::vector<std::uint8_t> WideBytesWithNul(const std::wstring& text) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(text.c_str());
    return {begin, begin + (text.size() + 1) * sizeof(wchar_t)};
}

bool FileThere(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

std::string CommandProcessor() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    EXPECT_GT(length, 0u);
    return Narrow(folder) + "\\cmd.exe";
}

class OperationsTest : public ::testing::Test {
protected:
    OperationsTest() {
        texts.Set("Main", "37", "Disabled");
        texts.Set("Add", "1", "Create New Startup Item");
        texts.Set("Main", "39", "Edit Startup Item");
    }

    void SetUp() override {
        ASSERT_FALSE(folders.user.empty());
        twinExisted_ = files.FolderExists(folders.userDisabled);
        disabledKeyExisted_ = KeyThere(kRunDisabled);
        PrepareDisabledFolders(files, folders);
        CleanUp();
    }

    void TearDown() override {
        CleanUp();
        if (!twinExisted_) RemoveDirectoryW(Wide(folders.userDisabled).c_str());
        if (!disabledKeyExisted_) RemoveKeyIfEmpty(kRunDisabled);
    }

    void CleanUp() {
        for (const auto& name : {kExpandName, kForeignName, kCreatedName}) {
            RemoveRaw(kRun, name);
            RemoveRaw(kRunDisabled, name);
        }
        for (const std::string& file : {LiveLink(), TwinLink()}) DeleteFileW(Wide(file).c_str());
    }

    std::string LiveLink() const { return folders.user + "\\" + kShortcutName + ".lnk"; }
    std::string TwinLink() const { return folders.userDisabled + kShortcutName + ".lnk"; }

    // Reloads the list and selects one entry; false when it is not listed.
    bool LoadAndSelect(const std::string& name, const std::string& section, bool disabled) {
        list.LoadRegistryInfo();
        const auto& rows = list.Rows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].Name() == name && rows[i].Section() == section &&
                rows[i].IsDisabled() == disabled) {
                list.Select(i);
                return true;
            }
        }
        return false;
    }

    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
    Win32VersionReader versions;
    Win32System system;
    Platform platform{registry, files, shell, versions, system};
    FakeTexts texts;
    ScriptedPrompt prompt;
    ShellIconList icons{IconSize::Small};
    FileInfoClass fileInfo{versions};
    StartupFolderPaths folders = ResolveStartupFolders(shell);
    MainList list{platform, fileInfo, texts, icons, folders};
    OperationContext context{platform, texts, prompt, list};

private:
    bool twinExisted_ = false;
    bool disabledKeyExisted_ = false;
};

TEST_F(OperationsTest, RegistryValuesSurviveDisableAndEnableByteForByte) {
    // Expandable data with something after its first NUL, as another program may store it.
    std::vector<std::uint8_t> expandable =
        WideBytesWithNul(L"%SystemRoot%\\system32\\cmd.exe /c exit");
    const auto tail = WideBytesWithNul(L"tail");
    expandable.insert(expandable.end(), tail.begin(), tail.end());
    const std::vector<std::uint8_t> foreign =
        WideBytesWithNul(L"C:\\\u00fc\\\u043f\u0440\u043e\u0433.exe");
    SetRaw(kRun, kExpandName, REG_EXPAND_SZ, expandable);
    SetRaw(kRun, kForeignName, REG_SZ, foreign);

    const std::pair<std::wstring, std::pair<DWORD, std::vector<std::uint8_t>>> values[] = {
        {kExpandName, {REG_EXPAND_SZ, expandable}},
        {kForeignName, {REG_SZ, foreign}},
    };
    for (const auto& [name, stored] : values) {
        const std::string shown = Narrow(name);
        ASSERT_TRUE(LoadAndSelect(shown, kUserRun, false)) << shown;
        EXPECT_TRUE(DisableSelected(context));
        const RawValue parked = QueryRaw(kRunDisabled, name);
        ASSERT_EQ(parked.status, ERROR_SUCCESS) << shown;
        EXPECT_EQ(parked.type, stored.first);
        EXPECT_EQ(parked.data, stored.second);
        EXPECT_EQ(QueryRaw(kRun, name).status, ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(list.Selected()->Status(), "Disabled");

        ASSERT_TRUE(LoadAndSelect(shown, kUserRun, true)) << shown;
        EXPECT_TRUE(EnableSelected(context));
        const RawValue back = QueryRaw(kRun, name);
        ASSERT_EQ(back.status, ERROR_SUCCESS) << shown;
        EXPECT_EQ(back.type, stored.first);
        EXPECT_EQ(back.data, stored.second);
        EXPECT_EQ(QueryRaw(kRunDisabled, name).status, ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(list.Selected()->Status(), "");
    }
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_F(OperationsTest, ShortcutMovesToTheHiddenTwinAndBack) {
    EXPECT_NE(AttributesOf(folders.userDisabled) & FILE_ATTRIBUTE_HIDDEN, 0u);
    const std::string target = CommandProcessor();
    ShortcutInfo link;
    link.path = LiveLink();
    link.target = target;
    ASSERT_TRUE(shell.WriteShortcut(link));
    const std::string before = ReadTestFile(LiveLink());

    const std::string fileName = kShortcutName + ".lnk";
    ASSERT_TRUE(LoadAndSelect(fileName, kUserFolder, false));
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_FALSE(FileThere(LiveLink()));
    EXPECT_EQ(ReadTestFile(TwinLink()), before);
    EXPECT_EQ(list.Selected()->Status(), "Disabled");

    // The disabled row still knows its program, and runs and shows it from the twin.
    ASSERT_TRUE(LoadAndSelect(fileName, kUserFolder, true));
    EXPECT_TRUE(EqualsAsciiNoCase(list.Selected()->columns[kColProcessPath], target));
    EXPECT_EQ(PropertiesPath(*list.Selected(), folders), TwinLink());

    EXPECT_TRUE(EnableSelected(context));
    EXPECT_FALSE(FileThere(TwinLink()));
    EXPECT_EQ(ReadTestFile(LiveLink()), before);
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_F(OperationsTest, CreatedEntriesReadBackAndDeleteCleanly) {
    EntryEditor editor(context);
    const std::string program = CommandProcessor();

    editor.fields =
        EditorFields{Narrow(kCreatedName), program, "/c exit", SectionChoiceIndex(kUserRun)};
    ASSERT_EQ(editor.Save(), SaveResult::Close);
    const RawValue created = QueryRaw(kRun, kCreatedName);
    ASSERT_EQ(created.status, ERROR_SUCCESS);
    EXPECT_EQ(created.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(created.data, WideBytesWithNul(Wide("\"" + program + "\" /c exit")));

    editor.fields = EditorFields{kShortcutName, program, "", SectionChoiceIndex(kUserFolder)};
    ASSERT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_TRUE(EqualsAsciiNoCase(shell.ReadShortcutTarget(LiveLink()).value_or(""), program));
    // Opens in a normal window (the show command lies at offset 60 of the file).
    const std::string header = ReadTestFile(LiveLink());
    ASSERT_GE(header.size(), 64u);
    EXPECT_EQ(static_cast<unsigned char>(header[60]), SW_SHOWNORMAL);

    // Editing the shortcut into the registry replaces it.
    ASSERT_TRUE(LoadAndSelect(kShortcutName + ".lnk", kUserFolder, false));
    ASSERT_TRUE(editor.OpenForEdit());
    EXPECT_EQ(editor.fields.name, kShortcutName);
    EXPECT_TRUE(EqualsAsciiNoCase(editor.fields.value, program));
    editor.fields.name = Narrow(kForeignName);
    editor.fields.section = SectionChoiceIndex(kUserRun);
    ASSERT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_FALSE(FileThere(LiveLink()));
    EXPECT_EQ(QueryRaw(kRun, kForeignName).status, ERROR_SUCCESS);

    // Delete removes what was created.
    for (const auto& name : {kCreatedName, kForeignName}) {
        ASSERT_TRUE(LoadAndSelect(Narrow(name), kUserRun, false));
        prompt.Answer(kAnswerYes);
        EXPECT_TRUE(DeleteSelected(context));
        EXPECT_EQ(QueryRaw(kRun, name).status, ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(prompt.calls.size(), 2u);  // the two confirmations, no failure
}

}  // namespace
