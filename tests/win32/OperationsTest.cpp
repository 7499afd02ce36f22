// Disable, enable, delete, create and edit against the real registry and the
// real Startup folders of the test prefix.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "catalogue/MainList.h"
#include "operations/EntryEditor.h"
#include "operations/ItemOperations.h"
#include "platform/Text.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"
#include "support/FakeTexts.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;

namespace {

const std::string& kRun = UserRunKey();
const std::string& kRunDisabled = UserRunDisabledKey();
const std::string kUserRun = "Registry -> User Run";
const std::string kUserFolder = "Startup Folder -> User";
const std::wstring kPrefix = L"dovoviza-test-ops-";
const std::wstring kExpandName = kPrefix + L"expand";
const std::wstring kForeignName = kPrefix + L"\u0417\u0430\u043f\u0443\u0441\u043a-\u65e5\u672c-\u2713";
const std::wstring kCreatedName = kPrefix + L"created";

RawValue User(const std::string& key, const std::wstring& name) {
    return QueryRaw(HKEY_CURRENT_USER, key, name);
}

class OperationsTest : public ::testing::Test {
protected:
    OperationsTest() {
        texts.Set("Main", "37", "Disabled");
        texts.Set("Add", "1", "Create New Startup Item");
        texts.Set("Main", "39", "Edit Startup Item");
    }

    std::string LiveLink() const { return box.folders.user + "\\" + shortcut + ".lnk"; }
    std::string TwinLink() const { return box.folders.userDisabled + shortcut + ".lnk"; }

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

    UserStartupSandbox box{Narrow(kPrefix)};
    const std::string shortcut = box.prefix + "shortcut";
    Win32VersionReader versions;
    Win32System system;
    Platform platform{box.registry, box.files, box.shell, versions, system};
    dovoviza::test::FakeTexts texts;
    dovoviza::test::ScriptedPrompt prompt;
    ShellIconList icons{IconSize::Small};
    FileInfoClass fileInfo{versions};
    MainList list{platform, fileInfo, texts, icons, box.folders};
    OperationContext context{platform, texts, prompt, list};
};

TEST_F(OperationsTest, RegistryValuesSurviveDisableAndEnableByteForByte) {
    // Expandable data with something after its first NUL, as another program may store it.
    std::vector<std::uint8_t> expandable = WideBytes(L"%SystemRoot%\\system32\\cmd.exe /c exit");
    const auto tail = WideBytes(L"tail");
    expandable.insert(expandable.end(), tail.begin(), tail.end());
    const struct {
        std::wstring name;
        DWORD type;
        std::vector<std::uint8_t> data;
    } values[] = {{kExpandName, REG_EXPAND_SZ, expandable},
                  {kForeignName, REG_SZ, WideBytes(L"C:\\\u00fc\\\u043f\u0440\u043e\u0433.exe")}};
    for (const auto& value : values) SetRaw(HKEY_CURRENT_USER, kRun, value.name, value.type, value.data);

    for (const auto& value : values) {
        const std::string shown = Narrow(value.name);
        for (const bool disable : {true, false}) {
            SCOPED_TRACE(shown + (disable ? " disable" : " enable"));
            ASSERT_TRUE(LoadAndSelect(shown, kUserRun, !disable));
            EXPECT_TRUE(disable ? DisableSelected(context) : EnableSelected(context));
            const RawValue moved = User(disable ? kRunDisabled : kRun, value.name);
            ASSERT_EQ(moved.status, ERROR_SUCCESS);
            EXPECT_EQ(moved.type, value.type);
            EXPECT_EQ(moved.data, value.data);
            EXPECT_EQ(User(disable ? kRun : kRunDisabled, value.name).status, ERROR_FILE_NOT_FOUND);
            EXPECT_EQ(list.Selected()->Status(), disable ? "Disabled" : "");
        }
    }
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_F(OperationsTest, ShortcutMovesToTheHiddenTwinAndBack) {
    EXPECT_NE(AttributesOf(box.folders.userDisabled) & FILE_ATTRIBUTE_HIDDEN, 0u);
    const std::string target = CommandProcessor();
    ShortcutInfo link;
    link.path = LiveLink();
    link.target = target;
    ASSERT_TRUE(box.shell.WriteShortcut(link));
    const std::string before = ReadTestFile(LiveLink());

    ASSERT_TRUE(LoadAndSelect(shortcut + ".lnk", kUserFolder, false));
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_EQ(AttributesOf(LiveLink()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadTestFile(TwinLink()), before);
    EXPECT_EQ(list.Selected()->Status(), "Disabled");

    // The disabled row still knows its program, and runs and shows it from the twin.
    ASSERT_TRUE(LoadAndSelect(shortcut + ".lnk", kUserFolder, true));
    EXPECT_TRUE(EqualsAsciiNoCase(list.Selected()->columns[kColProcessPath], target));
    EXPECT_EQ(PropertiesPath(*list.Selected(), box.folders), TwinLink());

    EXPECT_TRUE(EnableSelected(context));
    EXPECT_EQ(AttributesOf(TwinLink()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadTestFile(LiveLink()), before);
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_F(OperationsTest, CreatedEntriesReadBackAndDeleteCleanly) {
    EntryEditor editor(context);
    const std::string program = CommandProcessor();
    editor.fields = EditorFields{Narrow(kCreatedName), program, "/c exit", SectionChoiceIndex(kUserRun)};
    ASSERT_EQ(editor.Save(), SaveResult::Close);
    const RawValue created = User(kRun, kCreatedName);
    ASSERT_EQ(created.status, ERROR_SUCCESS);
    EXPECT_EQ(created.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(created.data, WideBytes(Wide("\"" + program + "\" /c exit")));

    editor.fields = EditorFields{shortcut, program, "", SectionChoiceIndex(kUserFolder)};
    ASSERT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_TRUE(EqualsAsciiNoCase(box.shell.ReadShortcutTarget(LiveLink()).value_or(""), program));
    // Opens in a normal window (the show command lies at offset 60 of the file).
    const std::string header = ReadTestFile(LiveLink());
    ASSERT_GE(header.size(), 64u);
    EXPECT_EQ(static_cast<unsigned char>(header[60]), SW_SHOWNORMAL);

    // Editing the shortcut into the registry replaces it.
    ASSERT_TRUE(LoadAndSelect(shortcut + ".lnk", kUserFolder, false));
    ASSERT_TRUE(editor.OpenForEdit());
    EXPECT_EQ(editor.fields.name, shortcut);
    EXPECT_TRUE(EqualsAsciiNoCase(editor.fields.value, program));
    editor.fields.name = Narrow(kForeignName);
    editor.fields.section = SectionChoiceIndex(kUserRun);
    ASSERT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(AttributesOf(LiveLink()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(User(kRun, kForeignName).status, ERROR_SUCCESS);

    for (const auto& name : {kCreatedName, kForeignName}) {
        ASSERT_TRUE(LoadAndSelect(Narrow(name), kUserRun, false));
        prompt.Answer(kAnswerYes);
        EXPECT_TRUE(DeleteSelected(context));
        EXPECT_EQ(User(kRun, name).status, ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(prompt.calls.size(), 2u);  // the two confirmations, no failure
}

}  // namespace
