// Disable, enable, delete, execute and properties of the selected row, and OK in the entry dialog.

#include <algorithm>
#include <functional>
#include <tuple>

#include "OperationsTestBench.h"
#include "operations/CommandLine.h"
#include "operations/EntryEditor.h"
#include "platform/Text.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;
constexpr Hive kUser = Hive::CurrentUser, kMachine = Hive::LocalMachine;
constexpr int kAtMachine = 0, kAtRun = 2, kAtCommon = 4, kAtFolder = 5, kAtWow = 8;  // Sections
const std::string kOdd = "Запуск ✓";  // stored with leading blanks the list does not show
const std::string kAsk = "replace? | Item Already Exists | 52";
const std::string kTarget = "C:\\Program Files\\T\\t.exe";  // of Tool.lnk

// Answers as scripted, after what happens while its box is open.
struct TickingPrompt : ScriptedPrompt {
    int Show(const std::string& text, const std::string& caption, int style) override {
        if (whileOpen) whileOpen();
        return ScriptedPrompt::Show(text, caption, style);
    }
    std::function<void()> whileOpen;
};

struct World : OpsWorld {
    // Reloads the list and selects a row; "name*" is the parked row of that name.
    void Pick(const std::string& row) {
        const std::string name = row.substr(0, row.find('*'));
        list.LoadRegistryInfo();
        for (std::size_t i = 0; i < list.RowCount(); ++i) {
            const StartupItem& r = list.Rows()[i];
            if (r.Name() == name && r.IsDisabled() == (name != row)) list.Select(i);
        }
        ASSERT_TRUE(list.Selected() && list.Selected()->Name() == name) << row;
    }
    TickingPrompt asking;
    OperationContext ops{platform, texts, asking, list};
    EntryEditor editor{ops};
};
class Operations : public ::testing::Test, public World {};
using Change = std::function<void(World&)>;
// A file in the user's Startup folder, its hidden twin or the common folder.
enum Where { kLive, kTwin, kCommon };
std::string Path(const World& w, const std::string& file, Where where = kLive) {
    if (where == kTwin) return w.folders.userDisabled + file;
    return (where == kLive ? w.folders.user : w.folders.common) + "\\" + file;
}

// kOdd is expandable with a long second string after its first NUL.
void AddEntries(World& w) {
    std::vector<std::uint8_t> odd = EncodeUtf16LeWithNul("%ProgramFiles%\\ü\\прог.exe");
    const auto tail = EncodeUtf16LeWithNul(std::string(10240, 'x'));
    odd.insert(odd.end(), tail.begin(), tail.end());
    w.registry.SetValue(kUser, kRunKey, RegValue{"  " + kOdd, RegType::ExpandString, odd});
    // A parked namesake in another Section (the WOW64 twin) is no conflict.
    w.registry.SetString(kUser, kWowRunKey + "-Disabled", kOdd, "C:\\wow.exe");
    const std::tuple<Hive, const std::string&, const char*, const char*> values[] = {
        {kUser, kRunKey, "App", "C:\\app.exe"}, {kUser, kRunKey, "Both", "C:\\live.exe"},
        {kUser, kRunKey, "Launcher", "C:\\Links\\start.lnk"},
        {kUser, kRunKey, "Quoted", "\"C:\\Program Files\\a.exe\" -min /x"},
        {kUser, kRunKey, "Slash", "C:\\app.exe /min"}, {kUser, kRunKey, "Exp", "%ProgramFiles%\\a"},
        {kMachine, kRunKey, "Machine", "C:\\app.exe"},
        {kUser, kRunDisabledKey, "Both", "C:\\p.exe"},
        {kUser, kRunDisabledKey, "  Parked", "%windir%\\a.exe -p"}};
    for (const auto& [hive, key, name, data] : values) {
        const std::uint32_t type = data[0] == '%' ? RegType::ExpandString : RegType::String;
        w.registry.SetString(hive, key, name, data, type);
    }
    for (const char* file : {"C:\\app.exe", "C:\\tool.exe", "C:\\p.exe"}) w.files.AddFile(file);
    w.files.AddFile(w.UserLink("run.bat"), "@echo off");
    w.shell.AddShortcut("C:\\Links\\start.lnk", "C:\\tool.exe");
    w.shell.AddShortcut(w.UserLink("Tool.lnk"), kTarget);
    w.shell.AddShortcut(w.UserLink("Pair.lnk"), "C:\\live.exe");
    w.shell.AddShortcut(Path(w, "Pair.lnk", kTwin), "C:\\p.exe");
}

Change Fail(RegFault fault, const std::string& key = kRunKey) {
    return [=](World& w) { w.registry.Fail(fault, kUser, key); };
}
Change Value(const std::string& name, const std::string& data, Hive hive = kUser,
             std::uint32_t type = RegType::String) {
    return [=](World& w) { w.registry.SetString(hive, kRunKey, name, data, type); };
}
Change Unset(const std::string& name, const std::string& key = kRunKey, Hive hive = kUser) {
    return [=](World& w) { w.registry.OpenKey(hive, key, true)->DeleteValue(name); };
}
Change Link(const std::string& file, const std::string& target, Where where = kLive) {
    return [=](World& w) { w.shell.AddShortcut(Path(w, file, where), target); };
}
Change Unlink(const std::string& file, Where where = kLive) {
    return [=](World& w) { w.files.Remove(Path(w, file, where)); };
}
// The value as it is, moved to the other store.
Change Moved(const std::string& name, bool toParked, Hive hive = kUser) {
    return [=](World& w) {
        const std::string& from = toParked ? kRunKey : kRunDisabledKey;
        const RegValue value = *w.registry.GetValue(hive, from, name);
        Unset(name, from, hive)(w);
        w.registry.SetValue(hive, toParked ? kRunDisabledKey : kRunKey, value);
    };
}
std::string Box(const std::string& text, int style) {
    return text + " | " + kTitle + " | " + std::to_string(style);
}

// Yes, No: a delete with that answer. Close, Stay: OK in the entry dialog on a
// new entry (no row) or an edit of the row, the dialog closing or staying open.
enum class Act { Disable, Enable, Yes, No, Close, Stay };

}  // namespace

TEST(OperationsTable, ChangeOnlyTheEntryTheyNameOrReportAndChangeNothing) {
    using enum Act;
    const std::string notMoved = Box("not moved", 48), exists = Box("target exists", 48);
    const std::string off = Box("already disabled", 64), on = Box("already enabled", 64);
    const std::string reg = "Section: Registry -> User Run\r\nName: ";
    const std::string del = " | Delete registry item? | 36";
    const std::string app = reg + "App\r\nValue: C:\\app.exe" + del;
    // The live path, also for a parked shortcut, and no name line.
    const std::string pair = "Section: Startup Folder -> User\r\nFile: " + FakeShell().userStartup +
                             "\\Pair.lnk | Delete folder item? | 36";
    const std::string cannot = " | Cannot Save Item | 16", need = "need name and value" + cannot;
    const Change withAPP = [](World& w) {
        w.registry.SetString(kUser, kRunDisabledKey, "APP", "x");
        w.Pick("App");
    };
    const Change noMove = [](World& w) { w.files.Fail(FileFault::Move, w.UserLink("Tool.lnk")); };
    const Change noLink = [](World& w) { w.shell.writeShortcutResult = false; };
    // While the question is open the entry is disabled (so it is gone when the
    // answer comes) and the list is reloaded.
    const Change tick = [](World& w) {
        w.asking.whileOpen = [&w] {
            Moved("App", true)(w);
            w.list.LoadRegistryInfo();
            w.list.Select(std::size_t{0});
        };
    };
    const struct {
        std::string row;  // the selected row, see World::Pick
        Act act;
        std::vector<Change> change;
        Texts shown = {};
        EditorFields fields = {};  // a new entry's fields, or what an edit changes
        Change arrange = {};       // after the load, in both worlds
    } cases[] = {
        {kOdd, Disable, {Moved("  " + kOdd, true)}},
        {"Parked*", Enable, {Moved("  Parked", false)}},
        {"Machine", Disable, {Moved("Machine", true, kMachine)}},
        {"Tool.lnk", Disable, {Unlink("Tool.lnk"), Link("Tool.lnk", kTarget, kTwin)}},
        // A row of the same Section and name (exactly) with the target status
        // already, the selected row itself included; the stores ignore case.
        {"Both", Disable, {}, {off}},
        {"Parked*", Disable, {}, {off}},
        {"App", Disable, {}, {exists}, {}, withAPP},
        // A copy whose source cannot be removed is taken back.
        {"App", Disable, {}, {notMoved}, {}, Fail(RegFault::Write, kRunDisabledKey)},
        {"App", Disable, {}, {notMoved}, {}, Fail(RegFault::Delete)},
        {"App", Disable, {}, {notMoved}, {}, Unset("App")},
        {"Tool.lnk", Disable, {}, {notMoved}, {}, noMove},
        // A delete removes the row's own entry, not its program nor its
        // namesake.
        {"App", No, {}, {app}},
        {"App", Yes, {Unset("App")}, {app}},
        {"Both*", Yes, {Unset("Both", kRunDisabledKey)}, {reg + "Both\r\nValue: C:\\p.exe" + del}},
        {"Pair.lnk*", Yes, {Unlink("Pair.lnk", kTwin)}, {pair}},
        {"App", Yes, {}, {app, Box("not deleted", 48)}, {}, Fail(RegFault::Delete)},
        {"App", Yes, {Moved("App", true)}, {app}, {}, tick},
        // A new entry as typed (another Section's namesake is none); parameters
        // quote the program.
        {"", Close, {Value("App", "C:\\A B\\ü.exe", kMachine)}, {},
         {"App", "C:\\A B\\ü.exe", "", kAtMachine}},
        {"", Close, {Value("P", "\"C:\\p.exe\" -m /x")}, {}, {"P", "C:\\p.exe", "-m /x", kAtRun}},
        {"", Stay, {}, {need}, {"", "C:\\x.exe", "", kAtRun}},
        {"", Stay, {}, {need}, {"X", "", "", kAtRun}},
        {"", Stay, {}, {"need section" + cannot}, {"X", "C:\\x.exe", "", -1}},
        {"", Stay, {}, {Box("no WOW64 key", 48)}, {"X", "C:\\x.exe", "", kAtWow}},
        {"", Stay, {}, {"no program file" + cannot}, {"X", "C:\\no.exe", "", kAtFolder}},
        // Namesakes (asked Yes when the dialog closes), but not a parked row.
        {"", Stay, {}, {kAsk}, {"APP", "C:\\n.exe", "", kAtRun}},
        {"", Close, {Value("APP", "C:\\n.exe")}, {kAsk}, {"APP", "C:\\n.exe", "", kAtRun}},
        {"", Stay, {}, {kAsk}, {kOdd, "C:\\n.exe", "", kAtRun}},
        {"", Stay, {}, {kAsk}, {"tool", "C:\\tool.exe", "", kAtFolder}},
        {"", Stay, {}, {kAsk}, {"F", "C:\\2.exe", "", kAtRun}, Value("F", "C:\\1.exe")},
        {"", Close, {Value("Parked", "C:\\p.exe")}, {}, {"Parked", "C:\\p.exe", "", kAtRun}},
        // An edit splits off parameters only where OK writes the command back.
        {"Quoted", Close, {Value("Quoted", "\"C:\\Program Files\\a.exe\" -q")}, {kAsk},
         {"", "", "-q", -1}},
        {"Slash", Close, {}, {kAsk}},
        // The new entry first, the old one only then; an expandable one stays so.
        {"App", Close, {Unset("App"), Value("F", "\"C:\\app.exe\" -q")}, {}, {"F", "", "-q", -1}},
        {"App", Stay, {}, {"not saved" + cannot}, {"New", "", "", -1}, Fail(RegFault::Write)},
        {"App", Close, {Value("New", "C:\\app.exe")}, {Box("old kept", 48)}, {"New", "", "", -1},
         Fail(RegFault::Delete)},
        {"Exp", Close, {Value("EXP", "\"%ProgramFiles%\\a\" /t", kUser, RegType::ExpandString)},
         {kAsk}, {"EXP", "", "/t", -1}},
        // An edit need not point at an existing file.
        {"Tool.lnk", Close, {Link("Tool.lnk", "C:\\n.exe")}, {kAsk}, {"", "C:\\n.exe", "", -1}},
        {"Tool.lnk", Close,
         {Unlink("Tool.lnk"), Value("Tool", kTarget, kMachine)}, {},
         {"", "", "", kAtMachine}},
        {"App", Close, {Unset("App"), Link("App.lnk", "C:\\app.exe", kCommon)}, {},
         {"", "", "", kAtCommon}},
        {"App", Stay, {}, {"not saved" + cannot}, {"", "", "", kAtFolder}, noLink},
        // A shortcut a command names and a script are no entry's own shortcut.
        {"Launcher", Close, {Unset("Launcher"), Value("L", "C:\\Links\\start.lnk")}, {},
         {"L", "", "", -1}},
        {"run.bat", Close, {Value("run.bat", FakeShell().userStartup + "\\run.bat")}, {},
         {"", "", "", kAtRun}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases << ": " << c.row << c.fields.name);
        World w, expected;
        for (World* x : {&w, &expected}) AddEntries(*x);
        const bool edit = !c.row.empty();
        w.list.LoadRegistryInfo();
        if (edit) w.Pick(c.row);
        EditorFields& f = w.editor.fields;
        f.parameters = "--stale";  // left over, not for another entry
        if (c.act >= Close && edit) {
            ASSERT_TRUE(w.editor.OpenForEdit());
        }
        const auto pick = [](const auto& given, const auto& old) {
            return given.empty() ? old : given;
        };
        f = !edit ? c.fields
                  : EditorFields{pick(c.fields.name, f.name), pick(c.fields.value, f.value),
                                 pick(c.fields.parameters, f.parameters),
                                 c.fields.section >= 0 ? c.fields.section : f.section};
        for (World* x : {&w, &expected}) {
            if (c.arrange) c.arrange(*x);
            x->registry.SetString(kUser, kRunKey, "Later", "x");  // listed only after a reload
        }
        for (const Change& change : c.change) change(expected);
        const std::size_t row = w.list.SelectedIndex().value_or(0);
        const std::string status = w.list.Rows()[row].Status(), value = f.value;
        w.asking.Answer(c.act == Yes || c.act == Close ? kAnswerYes : kAnswerNo);
        switch (c.act) {
            case Disable: EXPECT_EQ(DisableSelected(w.ops), c.shown != Texts{off}); break;
            case Enable: EXPECT_EQ(EnableSelected(w.ops), c.shown != Texts{on}); break;
            case Yes:
            case No: EXPECT_TRUE(DeleteSelected(w.ops)); break;
            default:
                EXPECT_EQ(w.editor.Save(), c.act == Stay ? SaveResult::Stay : SaveResult::Close);
                // The dialog keeps its content to be corrected, or starts empty next time.
                EXPECT_EQ(f.value, c.act == Stay ? value : "");
                EXPECT_EQ(w.editor.Mode() == EditorMode::Edit, c.act == Stay && edit);
        }
        EXPECT_EQ(Shown(w.asking), c.shown);
        EXPECT_EQ(Snapshot(w), Snapshot(expected));
        EXPECT_TRUE(w.files.Exists("C:\\app.exe") && w.files.Exists("C:\\Links\\start.lnk"));
        const auto& rows = w.list.Rows();
        const auto later = [](const StartupItem& r) { return r.Name() == "Later"; };
        // A deleted entry's row goes in place; No, a failure or a tick meanwhile reload the list.
        EXPECT_EQ(std::any_of(rows.begin(), rows.end(), later), c.act == No || (c.act == Yes && c.arrange));
        // A move marks its row in place, and only once it moved.
        if (c.act != Disable && c.act != Enable) continue;
        const bool disabled = c.shown.empty() ? c.act == Disable : !status.empty();
        EXPECT_EQ(w.list.Rows()[row].Status(), disabled ? "Disabled" : "");
    }
}

TEST_F(Operations, WithoutASelectionNothingHappensExecuteAndANewShortcut) {
    for (const bool loaded : {false, true}) {
        if (loaded) AddEntries(*this);
        list.LoadRegistryInfo();
        EXPECT_EQ(DisableSelected(ops) || EnableSelected(ops), !loaded);  // redraw an empty list
        EXPECT_FALSE(DeleteSelected(ops) || ExecuteSelected(ops));
        EXPECT_FALSE(ShowSelectedProperties(ops) || editor.OpenForEdit());
    }
    // Quoted unless it is; a parked shortcut starts through its target but shows
    // its own properties. A failure to start is reported, not one to show them.
    const std::string quoted = "\"C:\\Program Files\\a.exe\" -min /x";
    for (const auto& [row, started, properties] :
         {std::tuple{"Quoted", quoted, std::string("C:\\Program Files\\a.exe")},
          std::tuple{"Parked*", std::string("\"%windir%\\a.exe -p\""),
                     std::string("%windir%\\a.exe ")},
          std::tuple{"Pair.lnk", "\"" + Path(*this, "Pair.lnk") + "\"", Path(*this, "Pair.lnk")},
          std::tuple{"Pair.lnk*", std::string("\"C:\\p.exe\""), Path(*this, "Pair.lnk", kTwin)}}) {
        Pick(row);
        EXPECT_TRUE(ExecuteSelected(ops) && ShowSelectedProperties(ops));
        EXPECT_EQ(shell.started.back() + " | " + shell.propertiesShown.back(),
                  started + " | " + properties);
    }
    shell.startResult = shell.propertiesResult = false;
    EXPECT_FALSE(ExecuteSelected(ops) || ShowSelectedProperties(ops));
    Pick("Parked*");
    EXPECT_FALSE(editor.OpenForEdit());
    EXPECT_EQ(Shown(asking),
              (Texts{Box("not started", 48), "enable first | Edit Startup Item | 48"}));
    // After a reset OK writes a new entry: a shortcut with the program's icon.
    Pick("App");
    ASSERT_TRUE(editor.OpenForEdit());
    editor.Reset();
    editor.fields = EditorFields{"Pick", "C:\\tool.exe", "-ignored", kAtCommon};
    EXPECT_EQ(editor.Save(), SaveResult::Close);
    EXPECT_EQ(Live("App"), "C:\\app.exe");
    const ShortcutInfo& l = shell.written.at(0);
    EXPECT_EQ(std::tie(l.path, l.target, l.arguments, l.iconFile, l.iconIndex, l.showCommand),
              std::make_tuple(Path(*this, "Pick.lnk", kCommon), "C:\\tool.exe", "",
                              "C:\\tool.exe", 0, 1));
}

TEST(SplitCommand, CutsAtTheFirstMarkerAndKeepsThroughTheCharacterAfterExe) {
    // The edit dialog takes the listed command's (here the same) last ".exe".
    const std::string edit[][3] = {
        {"C:\\a.exe /x \"y\" -z", "C:\\a.exe ", "/x \"y\" -z"},
        {"C:/Tools/app.exe", "C:/Tools/app.exe", "/Tools/app.exe"},
        {"C:\\host.exe C:\\plugin.exe", "C:\\host.exe C:\\plugin.exe", "old"},
        {"\"", "\"", "old"}, {"\"C:\\Жук.exe\" -тихо", "C:\\Жук.exe", "-тихо"}};
    for (const auto& [command, program, parameters] : edit) {
        const CommandParts parts = SplitCommandForEdit(command, command, "old");
        EXPECT_EQ(parts.program + " | " + parts.parameters, program + " | " + parameters);
    }
    EXPECT_EQ(SplitCommandForProperties("C:\\host.exe C:\\plugin.exe"), "C:\\host.exe ");
    EXPECT_EQ(SplitCommandForProperties("C:\\x.exeЖ more"), "C:\\x.exeЖ");
    EXPECT_EQ(SplitCommandForProperties("\"C:\\Папка\\Жук"), "C:\\Папка\\Жу");
}
