// The create/edit dialog's model: opening for edit, the checks of OK and what
// it writes, in new and in edit mode.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "OperationsTestBench.h"
#include "operations/EntryEditor.h"
#include "platform/Text.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;

constexpr int kMachineRunIndex = 0;
constexpr int kUserRunIndex = 2;
constexpr int kCommonFolderIndex = 4;
constexpr int kUserFolderIndex = 5;
constexpr int kUserRunWowIndex = 8;

const std::string kNotSaved = "not saved | Cannot Save Item | 16";
const std::string kNoWowKey = "no WOW64 key | " + kTitle + " | 48";
const std::string kAsk = "replace? | Item Already Exists | 52";

struct EditorWorld : OpsWorld {
    // Live "App", "  Lead" (listed as "Lead"), an expandable "Exp", "Launcher"
    // naming a shortcut outside the Startup folders, parked "Parked"; in the
    // user's folder the shortcut "Tool.lnk" and the script "run.bat".
    void AddEntries() {
        files.AddFile("C:\\tool.exe", "MZ");
        shell.AddShortcut("C:\\Links\\start.lnk", "C:\\tool.exe");
        registry.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\app.exe");
        registry.SetString(Hive::CurrentUser, kRunKey, "  Lead", "C:\\lead.exe");
        registry.SetString(Hive::CurrentUser, kRunKey, "Exp", "%ProgramFiles%\\app.exe", RegType::ExpandString);
        registry.SetString(Hive::CurrentUser, kRunKey, "Launcher", "C:\\Links\\start.lnk");
        registry.SetString(Hive::CurrentUser, kRunDisabledKey, "Parked", "C:\\parked.exe");
        shell.AddShortcut(UserLink("Tool.lnk"), "C:\\tool.exe");
        files.AddFile(UserLink("run.bat"), "@echo off");
    }
    void Unset(const std::string& name) {
        ASSERT_TRUE(registry.OpenKey(Hive::CurrentUser, kRunKey, true)->DeleteValue(name)) << name;
    }
    EntryEditor editor{context};
};

using Change = std::function<void(EditorWorld&)>;
const Change kNothing = [](EditorWorld&) {};
Change Value(Hive hive, const std::string& key, const std::string& name, const std::string& data,
             std::uint32_t type = RegType::String) {
    return [=](EditorWorld& w) { w.registry.SetString(hive, key, name, data, type); };
}
Change RunValue(const std::string& name, const std::string& data) {
    return Value(Hive::CurrentUser, kRunKey, name, data);
}

class EntryEditing : public ::testing::Test, public EditorWorld {};

}  // namespace

TEST_F(EntryEditing, ParametersAreOffForTheFolderSectionsOnly) {
    for (int i = -1; i < 10; ++i) {
        editor.fields.section = i;
        EXPECT_EQ(editor.ParametersEnabled(), i != kCommonFolderIndex && i != kUserFolderIndex) << i;
    }
    EXPECT_EQ(SectionChoiceIndex("registry -> user run"), -1);  // exact
}

TEST(EntryEditor, SaveOfANewEntryChecksTheInputAsksBeforeReplacingAndWritesAsTyped) {
    const struct {
        const char* what;
        std::string name, value, parameters;
        int section, answer;  // answer 0: not asked
        Change arrange, expectedChange;
        SaveResult result;
        Texts shown;
    } cases[] = {
        {"as typed", "Plain", "C:\\Program Files\\p.exe", "", kUserRunIndex, 0, kNothing,
         RunValue("Plain", "C:\\Program Files\\p.exe"), SaveResult::Close, {}},
        {"parameters quote the program", "Params", "C:\\Program Files\\p.exe", "-min /x", kUserRunIndex, 0,
         kNothing, RunValue("Params", "\"C:\\Program Files\\p.exe\" -min /x"), SaveResult::Close, {}},
        {"typed quotes are the user's", "Typed", "\"C:\\a b\\c.exe\" /q", "", kUserRunIndex, 0, kNothing,
         RunValue("Typed", "\"C:\\a b\\c.exe\" /q"), SaveResult::Close, {}},
        {"machine hive, a name beyond ANSI", "Запуск 日本", "C:\\ü.exe", "", kMachineRunIndex, 0, kNothing,
         Value(Hive::LocalMachine, kRunKey, "Запуск 日本", "C:\\ü.exe"), SaveResult::Close, {}},
        {"a shortcut ignores parameters", "New", "C:\\tool.exe", "-ignored", kCommonFolderIndex, 0, kNothing,
         [](EditorWorld& w) { w.shell.AddShortcut(w.folders.common + "\\New.lnk", "C:\\tool.exe"); },
         SaveResult::Close, {}},
        {"WOW64 Section with its key", "Wow", "C:\\w.exe", "", kUserRunWowIndex, 0,
         [](EditorWorld& w) { w.registry.AddKey(Hive::CurrentUser, kWowRunKey); },
         Value(Hive::CurrentUser, kWowRunKey, "Wow", "C:\\w.exe"), SaveResult::Close, {}},
        {"no name", "", "C:\\x.exe", "", kUserRunIndex, 0, kNothing, kNothing, SaveResult::Stay,
         {"need name and value | Cannot Save Item | 16"}},
        {"no value", "X", "", "", kUserRunIndex, 0, kNothing, kNothing, SaveResult::Stay,
         {"need name and value | Cannot Save Item | 16"}},
        {"no Section", "X", "C:\\x.exe", "", -1, 0, kNothing, kNothing, SaveResult::Stay,
         {"need section | Cannot Save Item | 16"}},
        {"WOW64 Section without its key", "X", "C:\\x.exe", "", kUserRunWowIndex, 0, kNothing, kNothing,
         SaveResult::Stay, {kNoWowKey}},
        {"a new shortcut needs its program", "X", "C:\\missing.exe", "", kUserFolderIndex, 0, kNothing,
         kNothing, SaveResult::Stay, {"no program file | Cannot Save Item | 16"}},
        {"a listed name in any case, No", "APP", "C:\\new.exe", "", kUserRunIndex, kAnswerNo, kNothing,
         kNothing, SaveResult::Stay, {kAsk}},
        {"a listed name, Yes", "APP", "C:\\new.exe", "", kUserRunIndex, kAnswerYes, kNothing,
         RunValue("APP", "C:\\new.exe"), SaveResult::Close, {kAsk}},
        {"a listed name the store knows only with blanks", "lEAD", "C:\\new.exe", "", kUserRunIndex,
         kAnswerNo, kNothing, kNothing, SaveResult::Stay, {kAsk}},
        {"a folder Section matches with .lnk", "tool", "C:\\tool.exe", "", kUserFolderIndex, kAnswerNo,
         kNothing, kNothing, SaveResult::Stay, {kAsk}},
        {"disabled rows are no namesakes", "Parked", "C:\\p.exe", "", kUserRunIndex, 0, kNothing,
         RunValue("Parked", "C:\\p.exe"), SaveResult::Close, {}},
        {"other Sections hold no namesakes", "App", "C:\\m.exe", "", kMachineRunIndex, 0, kNothing,
         Value(Hive::LocalMachine, kRunKey, "App", "C:\\m.exe"), SaveResult::Close, {}},
        // Nothing reloads the list after a save: the store itself is asked too.
        {"saved but not listed yet", "Fresh", "C:\\second.exe", "", kUserRunIndex, kAnswerNo,
         RunValue("Fresh", "C:\\first.exe"), kNothing, SaveResult::Stay, {kAsk}},
    };
    for (const auto& c : cases) {
        EditorWorld w, expected;
        for (EditorWorld* x : {&w, &expected}) x->AddEntries();
        w.list.LoadRegistryInfo();
        c.arrange(w);
        c.arrange(expected);
        c.expectedChange(expected);
        if (c.answer) w.prompt.Answer(c.answer);
        EXPECT_EQ(w.editor.Mode(), EditorMode::New);
        EXPECT_EQ(w.editor.Caption(), "Create New Startup Item");
        w.editor.fields = EditorFields{c.name, c.value, c.parameters, c.section};
        EXPECT_EQ(w.editor.Save(), c.result) << c.what;
        EXPECT_EQ(Shown(w.prompt), c.shown) << c.what;
        EXPECT_EQ(Snapshot(w), Snapshot(expected)) << c.what;
        // The dialog keeps its content to be corrected, or starts empty next time.
        EXPECT_EQ(w.editor.fields.value, c.result == SaveResult::Stay ? c.value : "") << c.what;
    }
}

TEST_F(EntryEditing, NewShortcutPointsAtTheProgramWithItsOwnIconInANormalWindow) {
    files.AddFile("C:\\Tools\\tool.exe", "MZ");
    editor.fields = EditorFields{"Tool", "C:\\Tools\\tool.exe", "-ignored", kCommonFolderIndex};
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    ASSERT_EQ(shell.written.size(), 1u);
    const ShortcutInfo& link = shell.written[0];
    EXPECT_EQ(std::tie(link.path, link.target, link.arguments, link.workingDirectory, link.iconFile),
              std::make_tuple(folders.common + "\\Tool.lnk", "C:\\Tools\\tool.exe", "", "",
                              "C:\\Tools\\tool.exe"));
    EXPECT_EQ(std::tie(link.iconIndex, link.showCommand), std::make_tuple(0, 1));
}

TEST_F(EntryEditing, OpenForEditRefusesNothingSelectedAndDisabledRows) {
    EXPECT_FALSE(editor.OpenForEdit());
    AddEntries();
    list.LoadRegistryInfo();
    EXPECT_FALSE(editor.OpenForEdit());
    EXPECT_TRUE(prompt.calls.empty());

    list.Select(RowOf("Parked", kUserRunSection, true));
    EXPECT_FALSE(editor.OpenForEdit());
    EXPECT_EQ(Shown(prompt), Texts{"enable first | Edit Startup Item | 48"});
    EXPECT_EQ(editor.Mode(), EditorMode::New);
}

TEST_F(EntryEditing, OpenForEditSplitsOnlyWhatSavesBackUnchanged) {
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\Program Files\\Tool\\tool.exe");
    // A shortcut whose own name holds ".exe" keeps its whole target.
    shell.AddShortcut(folders.common + "\\Helper.exe.lnk", "C:\\Helpers\\helper.exe");
    const struct {
        std::string name, section, command;  // command: the registry data
        std::string fieldName, value, parameters;
        int sectionIndex;
    } cases[] = {
        {"App", kUserRunSection, "\"C:\\Program Files\\App\\app.exe\" -min /x", "App",
         "C:\\Program Files\\App\\app.exe", "-min /x", kUserRunIndex},
        // Commands the split would cut short stay whole in the Value field.
        {"Dash", kUserRunSection, "C:\\tool.exe -x", "Dash", "C:\\tool.exe -x", "", kUserRunIndex},
        {"Dll", kUserRunSection, "rundll32.exe shell32.dll,Control_RunDLL", "Dll",
         "rundll32.exe shell32.dll,Control_RunDLL", "", kUserRunIndex},
        {"Slash", kUserRunSection, "C:\\app.exe /min", "Slash", "C:\\app.exe /min", "", kUserRunIndex},
        {"Two", kUserRunSection, "C:\\first.exe C:\\second.exe", "Two", "C:\\first.exe C:\\second.exe", "",
         kUserRunIndex},
        // A registry command that names a shortcut file is a plain command.
        {"Launcher", kUserRunSection, "C:\\Links\\start.lnk", "Launcher", "C:\\Links\\start.lnk", "", kUserRunIndex},
        // A Startup folder shortcut is edited as its target.
        {"Tool.lnk", kUserFolder, "", "Tool", "C:\\Program Files\\Tool\\tool.exe", "", kUserFolderIndex},
        {"Helper.exe.lnk", kCommonFolder, "", "Helper.exe", "C:\\Helpers\\helper.exe", "", kCommonFolderIndex},
    };
    for (const auto& c : cases) {
        if (!c.command.empty()) registry.SetString(Hive::CurrentUser, kRunKey, c.name, c.command);
    }
    for (const auto& c : cases) {
        // Left-over parameters of the open dialog do not stick to another entry.
        editor.fields.parameters = "--stale";
        LoadAndSelect(c.name, c.section);
        ASSERT_TRUE(editor.OpenForEdit()) << c.name;
        EXPECT_EQ(editor.Mode(), EditorMode::Edit);
        EXPECT_EQ(editor.Caption(), "Edit Startup Item");
        EXPECT_EQ(std::tie(editor.fields.name, editor.fields.value, editor.fields.parameters,
                           editor.fields.section),
                  std::tie(c.fieldName, c.value, c.parameters, c.sectionIndex)) << c.name;
        // OK without a change writes the same entry back (it finds itself).
        const std::string before = Snapshot(*this);
        prompt.Answer(kAnswerYes);
        EXPECT_EQ(editor.Save(), SaveResult::Close) << c.name;
        EXPECT_EQ(Snapshot(*this), before) << c.name;
    }
    EXPECT_EQ(prompt.calls.size(), std::size(cases));
}

TEST(EntryEditor, SaveOfAnEditReplacesTheOldEntryOnlyOnceTheNewOneIsWritten) {
    const struct {
        const char* what;
        std::string row, section;
        Change edit, expectedChange;
        SaveResult result;
        Texts shown;
    } cases[] = {
        {"rename: the old value goes", "App", kUserRunSection,
         [](EditorWorld& w) { w.editor.fields.name = "Final"; w.editor.fields.parameters = "-q"; },
         [](EditorWorld& w) { w.Unset("App"); RunValue("Final", "\"C:\\app.exe\" -q")(w); }, SaveResult::Close, {}},
        {"the new value cannot be written", "App", kUserRunSection,
         [](EditorWorld& w) {
             w.editor.fields.name = "Renamed";
             w.registry.Fail(RegFault::Write, Hive::CurrentUser, kRunKey);
         },
         kNothing, SaveResult::Stay, {kNotSaved}},
        {"the old value cannot be removed", "App", kUserRunSection,
         [](EditorWorld& w) {
             w.editor.fields.name = "Renamed";
             w.registry.Fail(RegFault::Delete, Hive::CurrentUser, kRunKey);
         },
         RunValue("Renamed", "C:\\app.exe"), SaveResult::Close, {"old kept | " + kTitle + " | 48"}},
        // Rewritten in place, and still expandable, or "%ProgramFiles%" would stop working.
        {"the same name in other case", "Exp", kUserRunSection,
         [](EditorWorld& w) {
             w.editor.fields.name = "EXP";
             w.editor.fields.parameters = "/tray";
             w.prompt.Answer(kAnswerYes);
         },
         Value(Hive::CurrentUser, kRunKey, "EXP", "\"%ProgramFiles%\\app.exe\" /tray", RegType::ExpandString),
         SaveResult::Close, {kAsk}},
        // An edit need not point at an existing file.
        {"a shortcut retargeted in place", "Tool.lnk", kUserFolder,
         [](EditorWorld& w) { w.editor.fields.value = "C:\\other.exe"; w.prompt.Answer(kAnswerYes); },
         [](EditorWorld& w) { w.shell.AddShortcut(w.UserLink("Tool.lnk"), "C:\\other.exe"); },
         SaveResult::Close, {kAsk}},
        {"a shortcut into the registry", "Tool.lnk", kUserFolder,
         [](EditorWorld& w) { w.editor.fields.section = kMachineRunIndex; },
         [](EditorWorld& w) {
             w.files.Remove(w.UserLink("Tool.lnk"));
             Value(Hive::LocalMachine, kRunKey, "Tool", "C:\\tool.exe")(w);
         },
         SaveResult::Close, {}},
        {"a value into a folder", "App", kUserRunSection,
         [](EditorWorld& w) { w.editor.fields.section = kCommonFolderIndex; },
         [](EditorWorld& w) {
             w.Unset("App");
             w.shell.AddShortcut(w.folders.common + "\\App.lnk", "C:\\app.exe");
         },
         SaveResult::Close, {}},
        {"the shortcut cannot be written", "App", kUserRunSection,
         [](EditorWorld& w) {
             w.editor.fields.section = kUserFolderIndex;
             w.shell.writeShortcutResult = false;
         },
         kNothing, SaveResult::Stay, {kNotSaved}},
        {"a WOW64 Section without its key", "App", kUserRunSection,
         [](EditorWorld& w) { w.editor.fields.section = kUserRunWowIndex; }, kNothing, SaveResult::Stay,
         {kNoWowKey}},
        // Neither the shortcut a registry command names nor a script in a
        // Startup folder is the entry's own shortcut: both stay.
        {"a command naming a shortcut", "Launcher", kUserRunSection,
         [](EditorWorld& w) { w.editor.fields.name = "Launcher2"; },
         [](EditorWorld& w) { w.Unset("Launcher"); RunValue("Launcher2", "C:\\Links\\start.lnk")(w); },
         SaveResult::Close, {}},
        {"a script into the registry", "run.bat", kUserFolder,
         [](EditorWorld& w) { w.editor.fields.section = kUserRunIndex; },
         [](EditorWorld& w) { RunValue("run.bat", w.UserLink("run.bat"))(w); }, SaveResult::Close, {}},
    };
    for (const auto& c : cases) {
        EditorWorld w, expected;
        for (EditorWorld* x : {&w, &expected}) x->AddEntries();
        c.expectedChange(expected);
        // A translation may give both captions the same text: the mode is a flag.
        w.texts.Set("Add", "1", "Startup Item");
        w.texts.Set("Main", "39", "Startup Item");
        w.LoadAndSelect(c.row, c.section);
        ASSERT_TRUE(w.editor.OpenForEdit()) << c.what;
        c.edit(w);
        EXPECT_EQ(w.editor.Save(), c.result) << c.what;
        EXPECT_EQ(Shown(w.prompt), c.shown) << c.what;
        EXPECT_EQ(Snapshot(w), Snapshot(expected)) << c.what;
        EXPECT_TRUE(w.files.Exists("C:\\Links\\start.lnk")) << c.what;
        EXPECT_EQ(w.editor.Mode(), c.result == SaveResult::Stay ? EditorMode::Edit : EditorMode::New);
    }
}

TEST_F(EntryEditing, ResetStartsANewEntryAndBrowseKeepsTheValueOnCancel) {
    AddEntries();
    LoadAndSelect("App", kUserRunSection);
    ASSERT_TRUE(editor.OpenForEdit());
    editor.Reset();
    EXPECT_EQ(editor.Mode(), EditorMode::New);
    EXPECT_EQ(editor.fields.name, "");
    editor.fields = EditorFields{"Another", "C:\\b.exe", "", kUserRunIndex};
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(Live("App"), "C:\\app.exe");

    const BrowseRequest request = editor.Browse();
    EXPECT_EQ(request.title, "Select Program");
    EXPECT_EQ(request.initialFolder, system.programFolder);
    editor.fields.value = "C:\\typed.exe";
    editor.BrowseChosen("");
    EXPECT_EQ(editor.fields.value, "C:\\typed.exe");
    editor.BrowseChosen("C:\\Chosen\\pick.exe");
    EXPECT_EQ(editor.fields.value, "C:\\Chosen\\pick.exe");
}
