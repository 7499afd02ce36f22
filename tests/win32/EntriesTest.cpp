// Disable, enable, create, edit, delete and the monitor with its alert's
// actions, over the real registry, Startup folders and shortcuts of the prefix.

#include <tuple>

#include "WinTest.h"
#include "catalogue/Loaders.h"
#include "catalogue/MainList.h"
#include "catalogue/RegistryAccess.h"
#include "monitor/AlertActions.h"
#include "monitor/Monitor.h"
#include "operations/EntryEditor.h"
#include "operations/ItemOperations.h"
#include "platform/Text.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"
#include "support/FakeTexts.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace wintest;

namespace {

const std::string kUserRun = "Registry -> User Run", kUserFolder = "Startup Folder -> User";

class Entries : public PrefixTest, public IAlertSink {
protected:
    Entries() {
        texts.Set("Main", "36", "File not found");
        texts.Set("Main", "37", "Disabled");
        PrepareDisabledFolders(files, folders);
    }
    void RaiseAlert(const AlertEntry& entry) override { alerts.push_back(entry); }

    // Reloads the list and selects one entry; false when it is not listed.
    bool Select(const std::string& name, const std::string& section, bool disabled) {
        list.LoadRegistryInfo();
        for (std::size_t i = 0; i < list.Rows().size(); ++i) {
            const auto& row = list.Rows()[i];
            if (row.Name() == name && row.Section() == section && row.IsDisabled() == disabled) {
                list.Select(i);
                return true;
            }
        }
        return false;
    }
    std::string Live(const std::string& name) const { return UserStartup() + "\\" + Named(name); }
    std::string Parked(const std::string& name) const { return UserStartup() + "-Disabled\\" + Named(name); }
    bool Link(const std::string& path, const std::string& target) {
        ShortcutInfo link;
        link.path = path;
        link.target = target;
        return shell.WriteShortcut(link);
    }
    void ExpectOneEnforcement(Enforcement::Action action) {
        const TickReport report = monitor.Tick();
        ASSERT_EQ(report.enforcements.size(), 1u);
        EXPECT_EQ(report.enforcements[0].action, action);
        EXPECT_TRUE(report.enforcements[0].done);
    }

    win32::Win32Registry registry;
    win32::Win32FileSystem files;
    win32::Win32Shell shell;
    win32::Win32VersionReader versions;
    win32::Win32System system;
    Platform platform{registry, files, shell, versions, system};
    const StartupFolderPaths folders = ResolveStartupFolders(shell);
    dovoviza::test::FakeTexts texts;
    dovoviza::test::ScriptedPrompt prompt;
    win32::ShellIconList icons{IconSize::Small};
    FileInfoClass fileInfo{versions};
    MainList list{platform, fileInfo, texts, icons, folders};
    OperationContext context{platform, texts, prompt, list};
    Monitor monitor{platform, fileInfo, texts, list, *this};
    AlertActions actions{platform, texts, prompt, list};
    std::vector<AlertEntry> alerts;
};

TEST_F(Entries, RegistryValuesSurviveDisableAndEnableByteForByte) {
    // Expandable data with more after its first NUL, as another program may store it.
    std::vector<std::uint8_t> expandable = Bytes(L"%SystemRoot%\\system32\\cmd.exe /c exit"), tail = Bytes(L"tail");
    expandable.insert(expandable.end(), tail.begin(), tail.end());
    const struct {
        std::wstring name;
        DWORD type;
        std::vector<std::uint8_t> data;
    } values[] = {{Wide(Named("expand")), REG_EXPAND_SZ, expandable},
                  {Wide(Named("Запуск-日本-✓")), REG_SZ, Bytes(L"C:\\\u00fc\\\u043f\u0440.exe")}};
    for (const auto& value : values) {
        ASSERT_TRUE(SetRaw(HKEY_CURRENT_USER, kRun, value.name, value.type, value.data));
        for (const bool disable : {true, false}) {
            SCOPED_TRACE(Narrow(value.name) + (disable ? " disable" : " enable"));
            ASSERT_TRUE(Select(Narrow(value.name), kUserRun, !disable));
            EXPECT_TRUE(disable ? DisableSelected(context) : EnableSelected(context));
            const Raw moved = GetRaw(HKEY_CURRENT_USER, disable ? kRunDisabled : kRun, value.name);
            EXPECT_EQ(moved.type, value.type);
            EXPECT_EQ(moved.data, value.data);
            EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, disable ? kRun : kRunDisabled, value.name).status, ERROR_FILE_NOT_FOUND);
            EXPECT_EQ(list.Selected()->Status(), disable ? "Disabled" : "");
        }
    }
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_F(Entries, CreatedShortcutsMoveToTheHiddenTwinAndBackAndEditIntoTheRegistry) {
    EntryEditor editor(context);
    editor.fields = EditorFields{Named("link"), Cmd(), "", SectionChoiceIndex(kUserFolder)};
    ASSERT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_TRUE(EqualsAsciiNoCase(shell.ReadShortcutTarget(Live("link.lnk")).value_or(""), Cmd()));
    const std::string made = ReadAll(Live("link.lnk"));
    EXPECT_EQ(made.substr(60, 1), std::string(1, SW_SHOWNORMAL));  // the show command of the file's header

    ASSERT_TRUE(Select(Named("link.lnk"), kUserFolder, false));
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_TRUE(Gone(Live("link.lnk")));
    EXPECT_EQ(ReadAll(Parked("link.lnk")), made);
    EXPECT_NE(GetFileAttributesW(Wide(folders.userDisabled).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    // The disabled row still knows its program, and shows it from the twin.
    ASSERT_TRUE(Select(Named("link.lnk"), kUserFolder, true));
    EXPECT_TRUE(EqualsAsciiNoCase(list.Selected()->columns[kColProcessPath], Cmd()));
    EXPECT_EQ(PropertiesPath(*list.Selected(), folders), Parked("link.lnk"));
    EXPECT_TRUE(EnableSelected(context));
    EXPECT_TRUE(Gone(Parked("link.lnk")));
    EXPECT_EQ(ReadAll(Live("link.lnk")), made);

    // Edited into the registry, it replaces the shortcut; deleted after asking.
    ASSERT_TRUE(Select(Named("link.lnk"), kUserFolder, false));
    ASSERT_TRUE(editor.OpenForEdit());
    EXPECT_EQ(editor.fields.name, Named("link"));
    editor.fields.value = Cmd();
    editor.fields.parameters = "/c exit";
    editor.fields.section = SectionChoiceIndex(kUserRun);
    ASSERT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_TRUE(Gone(Live("link.lnk")));
    const Raw created = GetRaw(HKEY_CURRENT_USER, kRun, Wide(Named("link")));
    EXPECT_EQ(created.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(created.data, Bytes(Wide("\"" + Cmd() + "\" /c exit")));
    ASSERT_TRUE(Select(Named("link"), kUserRun, false));
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(context));
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, kRun, Wide(Named("link"))).status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(prompt.calls.size(), 1u);  // the confirmation, no failure
}

TEST_F(Entries, NewRunValuesAreAlertedAndKeptDisabled) {
    const std::wstring name = Wide(Named("new"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("known")), Wide(FixturePath("fixture_complete"))));
    ASSERT_TRUE(list.LoadRegistryInfo());
    EXPECT_FALSE(monitor.Tick().alert);

    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, name, L"C:\\nowhere\\new.exe /q"));
    const TickReport report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(std::make_tuple(report.alert->name, report.alert->value, std::string(report.alert->Section()),
                              report.alert->path),
              std::make_tuple(Named("new"), std::string("C:\\nowhere\\new.exe /q"), std::string(kUserRun),
                              std::string("File not found")));
    EXPECT_FALSE(monitor.Tick().alert);

    // Disabled from the alert, written back by its program: gone within one tick.
    EXPECT_EQ(actions.Disable(*report.alert), AlertOutcome::Close);
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, name, L"C:\\nowhere\\new.exe /q"));
    ExpectOneEnforcement(Enforcement::Action::DeleteLiveCopy);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, kRun, name).status, ERROR_FILE_NOT_FOUND);
    // Moved back by another tool: parked again, its type kept.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunDisabled, name.c_str());
    ASSERT_TRUE(SetRaw(HKEY_CURRENT_USER, kRun, name, REG_EXPAND_SZ, Bytes(L"C:\\nowhere\\new.exe /q")));
    ExpectOneEnforcement(Enforcement::Action::MoveToDisabled);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, kRunDisabled, name).type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, kRun, name).status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(alerts.size(), 1u);
}

TEST_F(Entries, NewShortcutsAreAlertedKeptDisabledAndDeletedWithoutTheirProgram) {
    const std::string program = FixturePath("fixture_complete");
    ASSERT_TRUE(list.LoadRegistryInfo());
    ASSERT_TRUE(Link(Live("app.lnk"), program));
    TickReport report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(std::make_tuple(report.alert->name, report.alert->value, std::string(report.alert->Section())),
              std::make_tuple(Named("app.lnk"), Live("app.lnk"), std::string(kUserFolder)));
    EXPECT_TRUE(EqualsAsciiNoCase(report.alert->path, program)) << report.alert->path;

    EXPECT_EQ(actions.Disable(*report.alert), AlertOutcome::Close);
    EXPECT_TRUE(Gone(Live("app.lnk")));
    ASSERT_TRUE(CopyFileW(Wide(Parked("app.lnk")).c_str(), Wide(Live("app.lnk")).c_str(), TRUE));
    ExpectOneEnforcement(Enforcement::Action::DeleteLiveCopy);
    EXPECT_TRUE(Gone(Live("app.lnk")));
    EXPECT_FALSE(Gone(Parked("app.lnk")));

    ASSERT_TRUE(Link(Live("other.lnk"), program));
    report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    prompt.Answer(kAnswerYes);
    EXPECT_EQ(actions.Delete(*report.alert), AlertOutcome::Close);
    EXPECT_EQ(prompt.calls.size(), 1u);
    EXPECT_TRUE(Gone(Live("other.lnk")));
    EXPECT_FALSE(Gone(program));
}

}  // namespace
