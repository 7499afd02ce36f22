// The create/edit dialog's model: opening for edit, the checks of OK and what
// it writes, in new and in edit mode.

#include <gtest/gtest.h>

#include <string>

#include "OperationsTestBench.h"
#include "operations/EntryEditor.h"
#include "platform/Text.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

constexpr int kMachineRunIndex = 0;
constexpr int kUserRunIndex = 2;
constexpr int kCommonFolderIndex = 4;
constexpr int kUserFolderIndex = 5;
constexpr int kUserRunWowIndex = 8;

class EntryEditing : public OperationsBench {
protected:
    void Fill(const std::string& name, const std::string& value, int section,
              const std::string& parameters = {}) {
        editor.fields = EditorFields{name, value, parameters, section};
    }

    std::optional<std::string> UserRunValue(const std::string& name) const {
        return reg.GetString(Hive::CurrentUser, kRunKey, name);
    }

    EntryEditor editor{context};
};

}  // namespace

TEST_F(EntryEditing, ParametersAreOffForTheFolderSectionsOnly) {
    EXPECT_EQ(SectionChoiceIndex("Registry -> Machine Run"), 0);
    EXPECT_EQ(SectionChoiceIndex("registry -> user run"), -1);
    for (int i = -1; i < 10; ++i) {
        editor.fields.section = i;
        EXPECT_EQ(editor.ParametersEnabled(), i != kCommonFolderIndex && i != kUserFolderIndex)
            << i;
    }
}

TEST_F(EntryEditing, NewRegistryEntryIsWrittenAsTyped) {
    EXPECT_EQ(editor.Mode(), EditorMode::New);
    EXPECT_EQ(editor.Caption(), "Create New Startup Item");

    Fill("Plain", "C:\\Program Files\\App\\app.exe", kUserRunIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    const auto plain = reg.GetValue(Hive::CurrentUser, kRunKey, "Plain");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->type, RegType::String);
    EXPECT_EQ(plain->data, EncodeUtf16LeWithNul("C:\\Program Files\\App\\app.exe"));

    // Parameters put the program in quotes; typed quotes are the user's.
    Fill("WithParams", "C:\\Program Files\\App\\app.exe", kUserRunIndex, "-min /x");
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(UserRunValue("WithParams"), "\"C:\\Program Files\\App\\app.exe\" -min /x");
    Fill("Typed", "\"C:\\a b\\c.exe\" /q", kUserRunIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(UserRunValue("Typed"), "\"C:\\a b\\c.exe\" /q");

    // Machine hive, and a name outside any ANSI code page.
    Fill("Запуск 日本", "C:\\ü.exe", kMachineRunIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(reg.GetString(Hive::LocalMachine, kRunKey, "Запуск 日本"), "C:\\ü.exe");
    EXPECT_TRUE(prompt.calls.empty());
    // A save closes the dialog: the next opening starts empty.
    EXPECT_EQ(editor.fields.name, "");
    EXPECT_EQ(editor.fields.section, -1);
}

TEST_F(EntryEditing, InputErrorsKeepTheDialogOpenAndWriteNothing) {
    Fill("", "C:\\app.exe", kUserRunIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    Fill("App", "", kUserRunIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    Fill("App", "C:\\app.exe", -1);
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    ASSERT_EQ(prompt.calls.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(prompt.calls[i].text, "Please enter a name and a value.");
        EXPECT_EQ(prompt.calls[i].caption, "Cannot Save Item");
        EXPECT_EQ(prompt.calls[i].style, 16);
    }
    EXPECT_EQ(prompt.calls[2].text, "Please select a section.");
    EXPECT_EQ(prompt.calls[2].caption, "Cannot Save Item");
    EXPECT_EQ(prompt.calls[2].style, 16);
    EXPECT_EQ(editor.fields.value, "C:\\app.exe");  // the content stays

    // A WOW64 Section whose key this system lacks.
    Fill("App", "C:\\app.exe", kUserRunWowIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    EXPECT_EQ(prompt.calls.back().text,
              "The registry key of this section does not exist on this system.");
    EXPECT_EQ(prompt.calls.back().caption, kTitle);
    EXPECT_EQ(prompt.calls.back().style, 48);
    EXPECT_FALSE(reg.HasKey(Hive::CurrentUser, kWowRunKey));
    reg.AddKey(Hive::CurrentUser, kWowRunKey);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kWowRunKey, "App"), "C:\\app.exe");

    // A new shortcut needs an existing program.
    Fill("Tool", "C:\\missing.exe", kUserFolderIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    EXPECT_EQ(prompt.calls.back().text, "The program file given as Value does not exist.");
    EXPECT_EQ(prompt.calls.back().caption, "Cannot Save Item");
    EXPECT_EQ(prompt.calls.back().style, 16);
    EXPECT_TRUE(shell.written.empty());
    EXPECT_EQ(prompt.calls.size(), 5u);
    EXPECT_EQ(reg.ValueNames(Hive::CurrentUser, kRunKey).size(), 0u);
}

TEST_F(EntryEditing, NewShortcutPointsAtTheProgramWithItsOwnIcon) {
    files.AddFile("C:\\Tools\\tool.exe", "MZ");
    Fill("Tool", "C:\\Tools\\tool.exe", kCommonFolderIndex, "-ignored");
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    ASSERT_EQ(shell.written.size(), 1u);
    const ShortcutInfo& link = shell.written[0];
    EXPECT_EQ(link.path, shell.commonStartup + "\\Tool.lnk");
    EXPECT_EQ(link.target, "C:\\Tools\\tool.exe");
    EXPECT_EQ(link.arguments, "");
    EXPECT_EQ(link.workingDirectory, "");
    EXPECT_EQ(link.iconFile, "C:\\Tools\\tool.exe");
    EXPECT_EQ(link.iconIndex, 0);
    EXPECT_EQ(link.showCommand, 1);
    EXPECT_EQ(shell.ReadShortcutTarget(shell.commonStartup + "\\Tool.lnk"), "C:\\Tools\\tool.exe");
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_F(EntryEditing, DuplicateNameAsksFirst) {
    files.AddFile("C:\\tool.exe", "MZ");
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\old.exe");
    reg.SetString(Hive::CurrentUser, kRunDisabledKey, "Parked", "C:\\parked.exe");
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\tool.exe");
    list.LoadRegistryInfo();

    // Any letter case; No keeps everything as it was.
    Fill("APP", "C:\\new.exe", kUserRunIndex);
    prompt.Answer(kAnswerNo);
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text,
              "An item with this name already exists in this section. Replace it?");
    EXPECT_EQ(prompt.calls[0].caption, "Item Already Exists");
    EXPECT_EQ(prompt.calls[0].style, 52);
    EXPECT_EQ(UserRunValue("App"), "C:\\old.exe");
    prompt.Answer(kAnswerYes);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(UserRunValue("App"), "C:\\new.exe");

    // A folder Section matches the name with ".lnk".
    Fill("tool", "C:\\tool.exe", kUserFolderIndex);
    prompt.Answer(kAnswerNo);
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    EXPECT_EQ(prompt.calls.size(), 3u);

    // Disabled rows and other Sections are no duplicates.
    Fill("Parked", "C:\\x.exe", kUserRunIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    Fill("App", "C:\\x.exe", kMachineRunIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(prompt.calls.size(), 3u);

    // Nothing reloads the list after a save, yet a second save of the same
    // name would replace the first: the store itself is asked too.
    Fill("Fresh", "C:\\first.exe", kUserRunIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    Fill("Fresh", "C:\\second.exe", kUserRunIndex);
    prompt.Answer(kAnswerNo);
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    EXPECT_EQ(prompt.calls.size(), 4u);
    EXPECT_EQ(UserRunValue("Fresh"), "C:\\first.exe");
}

TEST_F(EntryEditing, OpenForEditFillsTheFieldsFromTheRow) {
    // Nothing to edit.
    EXPECT_FALSE(editor.OpenForEdit());
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "\"C:\\Program Files\\App\\app.exe\" -min /x");
    reg.SetString(Hive::CurrentUser, kRunDisabledKey, "Parked", "C:\\parked.exe");
    list.LoadRegistryInfo();
    EXPECT_FALSE(editor.OpenForEdit());
    EXPECT_TRUE(prompt.calls.empty());

    // A disabled row is refused.
    list.Select(RowOf("Parked", kUserRun, true));
    EXPECT_FALSE(editor.OpenForEdit());
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text, "A disabled item cannot be edited. Enable it first.");
    EXPECT_EQ(prompt.calls[0].caption, "Edit Startup Item");
    EXPECT_EQ(prompt.calls[0].style, 48);
    EXPECT_EQ(editor.Mode(), EditorMode::New);

    // Left-over parameters of the open dialog do not stick to another entry.
    editor.fields.parameters = "--stale";
    list.Select(RowOf("App", kUserRun));
    ASSERT_TRUE(editor.OpenForEdit());
    EXPECT_EQ(editor.Mode(), EditorMode::Edit);
    EXPECT_EQ(editor.Caption(), "Edit Startup Item");
    EXPECT_EQ(editor.fields.name, "App");
    EXPECT_EQ(editor.fields.value, "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(editor.fields.parameters, "-min /x");
    EXPECT_EQ(editor.fields.section, kUserRunIndex);
    EXPECT_EQ(editor.Edited().name, "App");
    EXPECT_EQ(editor.Edited().value, "\"C:\\Program Files\\App\\app.exe\" -min /x");
    EXPECT_EQ(editor.Edited().section, kUserRun);
    EXPECT_EQ(prompt.calls.size(), 1u);
}

TEST_F(EntryEditing, OpenAndSaveUnchangedWritesTheSameCommand) {
    // Commands the split would cut short stay whole in the Value field.
    const std::string commands[] = {
        "\"C:\\Program Files\\App\\app.exe\" -min /x",  // split: quoted program, parameters
        "C:\\tool.exe -x",
        "rundll32.exe shell32.dll,Control_RunDLL",
        "C:\\app.exe /min",
        "C:\\first.exe C:\\second.exe",
    };
    for (const std::string& command : commands) {
        reg.SetString(Hive::CurrentUser, kRunKey, "Cmd", command);
        LoadAndSelect("Cmd", kUserRun);
        ASSERT_TRUE(editor.OpenForEdit());
        if (command.front() != '"') {
            EXPECT_EQ(editor.fields.value, command);
            EXPECT_EQ(editor.fields.parameters, "");
        }
        prompt.Answer(kAnswerYes);  // it finds itself
        EXPECT_EQ(editor.Save(), SaveResult::Close) << command;
        EXPECT_EQ(UserRunValue("Cmd"), command);
    }
    EXPECT_EQ(prompt.calls.size(), 5u);
}

TEST_F(EntryEditing, OpenForEditShowsAShortcutAsItsTarget) {
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\Program Files\\Tool\\tool.exe");
    // A shortcut whose own name holds ".exe" keeps its whole target.
    shell.AddShortcut(shell.commonStartup + "\\Helper.exe.lnk", "C:\\Helpers\\helper.exe");
    // A registry command that names a shortcut file is a plain command.
    reg.SetString(Hive::CurrentUser, kRunKey, "Launcher", "C:\\Links\\start.lnk");

    LoadAndSelect("Tool.lnk", kUserFolder);
    ASSERT_TRUE(editor.OpenForEdit());
    EXPECT_EQ(editor.fields.name, "Tool");
    EXPECT_EQ(editor.fields.value, "C:\\Program Files\\Tool\\tool.exe");
    EXPECT_EQ(editor.fields.section, kUserFolderIndex);
    EXPECT_EQ(editor.Edited().value, UserLink("Tool.lnk"));

    LoadAndSelect("Helper.exe.lnk", kCommonFolder);
    ASSERT_TRUE(editor.OpenForEdit());
    EXPECT_EQ(editor.fields.name, "Helper.exe");
    EXPECT_EQ(editor.fields.value, "C:\\Helpers\\helper.exe");
    EXPECT_EQ(editor.fields.section, kCommonFolderIndex);

    LoadAndSelect("Launcher", kUserRun);
    ASSERT_TRUE(editor.OpenForEdit());
    EXPECT_EQ(editor.fields.name, "Launcher");
    EXPECT_EQ(editor.fields.value, "C:\\Links\\start.lnk");
}

TEST_F(EntryEditing, EditReplacesTheOldEntryOnlyOnceTheNewOneIsWritten) {
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\app.exe");
    LoadAndSelect("App", kUserRun);

    // The new value cannot be written: the old one stays, the user is told.
    ASSERT_TRUE(editor.OpenForEdit());
    editor.fields.name = "Renamed";
    reg.Fail(RegFault::Write, Hive::CurrentUser, kRunKey);
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text, "The item could not be saved. Nothing was changed.");
    EXPECT_EQ(prompt.calls[0].caption, "Cannot Save Item");
    EXPECT_EQ(prompt.calls[0].style, 16);
    EXPECT_EQ(UserRunValue("App"), "C:\\app.exe");
    EXPECT_EQ(editor.Mode(), EditorMode::Edit);

    // Written, but the old one cannot be removed: both stay, and the user knows.
    reg.ClearFailures();
    reg.Fail(RegFault::Delete, Hive::CurrentUser, kRunKey);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(prompt.calls.back().text,
              "The new item was saved, but the old item could not be removed.");
    EXPECT_EQ(prompt.calls.back().caption, kTitle);
    EXPECT_EQ(prompt.calls.back().style, 48);
    EXPECT_EQ(UserRunValue("App"), "C:\\app.exe");
    EXPECT_EQ(UserRunValue("Renamed"), "C:\\app.exe");

    // A rename that works: the old value goes.
    reg.ClearFailures();
    LoadAndSelect("Renamed", kUserRun);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.fields.name = "Final";
    editor.fields.parameters = "-q";
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunKey, "Renamed"));
    EXPECT_EQ(UserRunValue("Final"), "\"C:\\app.exe\" -q");
    EXPECT_EQ(prompt.calls.size(), 2u);
}

TEST_F(EntryEditing, EditKeepingTheNameRewritesTheSameEntry) {
    // The row finds itself as a duplicate; the same value and the same
    // shortcut are rewritten, never removed afterwards.
    const RegValue expandable{"App", RegType::ExpandString,
                              EncodeUtf16LeWithNul("%ProgramFiles%\\app.exe")};
    reg.SetValue(Hive::CurrentUser, kRunKey, expandable);
    files.AddFile("C:\\tool.exe", "MZ");
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\tool.exe");

    LoadAndSelect("App", kUserRun);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.fields.name = "APP";
    editor.fields.parameters = "/tray";
    prompt.Answer(kAnswerYes);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].caption, "Item Already Exists");
    const auto value = reg.GetValue(Hive::CurrentUser, kRunKey, "App");
    ASSERT_TRUE(value);
    // Still expandable, or "%ProgramFiles%" would stop working.
    EXPECT_EQ(value->type, RegType::ExpandString);
    EXPECT_EQ(value->data, EncodeUtf16LeWithNul("\"%ProgramFiles%\\app.exe\" /tray"));

    LoadAndSelect("Tool.lnk", kUserFolder);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.fields.value = "C:\\other.exe";  // an edit need not point at an existing file
    prompt.Answer(kAnswerYes);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(shell.ReadShortcutTarget(UserLink("Tool.lnk")), "C:\\other.exe");
    EXPECT_EQ(prompt.calls.size(), 2u);
}

TEST_F(EntryEditing, EditMovesEntriesBetweenRegistryAndFolders) {
    files.AddFile("C:\\tool.exe", "MZ");
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\tool.exe");
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\tool.exe");

    // Shortcut into the registry: the value is written, the shortcut goes.
    LoadAndSelect("Tool.lnk", kUserFolder);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.fields.section = kMachineRunIndex;
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(reg.GetString(Hive::LocalMachine, kRunKey, "Tool"), "C:\\tool.exe");
    EXPECT_FALSE(files.Exists(UserLink("Tool.lnk")));

    // Registry into a folder: the shortcut is written, the value goes.
    LoadAndSelect("App", kUserRun);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.fields.section = kCommonFolderIndex;
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunKey, "App"));
    EXPECT_EQ(shell.ReadShortcutTarget(shell.commonStartup + "\\App.lnk"), "C:\\tool.exe");

    // A shortcut that cannot be written leaves the old value alone.
    reg.SetString(Hive::CurrentUser, kRunKey, "Keep", "C:\\tool.exe");
    LoadAndSelect("Keep", kUserRun);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.fields.section = kUserFolderIndex;
    shell.writeShortcutResult = false;
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    EXPECT_EQ(prompt.calls.back().text, "The item could not be saved. Nothing was changed.");
    EXPECT_EQ(UserRunValue("Keep"), "C:\\tool.exe");
    EXPECT_EQ(prompt.calls.size(), 1u);

    // A WOW64 Section this system lacks: refused before anything changes.
    editor.fields.section = kUserRunWowIndex;
    EXPECT_EQ(editor.Save(), SaveResult::Stay);
    EXPECT_EQ(prompt.calls.back().text,
              "The registry key of this section does not exist on this system.");
    EXPECT_EQ(UserRunValue("Keep"), "C:\\tool.exe");
}

TEST_F(EntryEditing, EditNeverDeletesTheShortcutARegistryCommandNames) {
    shell.AddShortcut("C:\\Links\\start.lnk", "C:\\tool.exe");
    reg.SetString(Hive::CurrentUser, kRunKey, "Launcher", "C:\\Links\\start.lnk");
    LoadAndSelect("Launcher", kUserRun);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.fields.name = "Launcher2";
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(UserRunValue("Launcher2"), "C:\\Links\\start.lnk");
    EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunKey, "Launcher"));
    EXPECT_TRUE(files.Exists("C:\\Links\\start.lnk"));

    // Nor a Startup folder file that is not a shortcut: it is the user's script.
    files.AddFile(UserLink("run.bat"), "@echo off");
    LoadAndSelect("run.bat", kUserFolder);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.fields.section = kUserRunIndex;
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_TRUE(files.Exists(UserLink("run.bat")));
    EXPECT_EQ(UserRunValue("run.bat"), UserLink("run.bat"));
}

TEST_F(EntryEditing, ModeIsAFlagNotTheCaption) {
    // A translation may give both captions the same text.
    texts.Set("Add", "1", "Startup Item");
    texts.Set("Main", "39", "Startup Item");
    reg.SetString(Hive::CurrentUser, kRunKey, "Old", "C:\\app.exe");
    LoadAndSelect("Old", kUserRun);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.fields.name = "New";
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunKey, "Old"));
    EXPECT_EQ(UserRunValue("New"), "C:\\app.exe");

    // Reset starts a new entry again.
    LoadAndSelect("New", kUserRun);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.Reset();
    EXPECT_EQ(editor.Mode(), EditorMode::New);
    EXPECT_EQ(editor.fields.name, "");
    Fill("Another", "C:\\b.exe", kUserRunIndex);
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(UserRunValue("New"), "C:\\app.exe");
}

TEST_F(EntryEditing, BrowseOffersProgramsFromTheProgramFolder) {
    const BrowseRequest request = editor.Browse();
    EXPECT_EQ(request.title, "Select Program");
    EXPECT_EQ(request.initialFolder, system.programFolder);
    EXPECT_EQ(request.filter, "Executable File (*.exe)|*.exe|All Files (*.*)|*.*");
    EXPECT_EQ(request.flags, 0x1800u);

    // A cancelled dialog returns nothing and changes nothing.
    Fill("App", "C:\\typed.exe", kUserRunIndex);
    editor.BrowseChosen("");
    EXPECT_EQ(editor.fields.value, "C:\\typed.exe");
    editor.BrowseChosen("C:\\Chosen\\pick.exe");
    EXPECT_EQ(editor.fields.value, "C:\\Chosen\\pick.exe");
}
