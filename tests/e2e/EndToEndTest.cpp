// Drives the shipped program from outside, as a user's tools would: starts
// dovoviza.exe, finds its windows by class, reads and drives the standard
// controls and checks the registry.

#include "win32/WinTest.h"

#include <commctrl.h>

#include "history/frmHistory.h"
#include "monitor/frmAlert.h"
#include "platform/win32/Window.h"

using namespace wintest;
using dovoviza::win32::PixelsToTwips;
using dovoviza::win32::SystemDpi;
using dovoviza::win32::TwipsToPixels;

namespace {

std::wstring g_program;
const std::wstring kNotepad = L"C:\\windows\\notepad.exe";

// Sends a message whose item and text buffer must live in the control's own
// process, as list views and status bars want them, and gives back the text.
// Without an item the buffer itself is the message's parameter.
template <typename Item = POINT>
std::wstring Remote(HWND control, UINT message, WPARAM wParam, Item item = {},
                    LPWSTR Item::*text = nullptr) {
    DWORD pid = 0;
    GetWindowThreadProcessId(control, &pid);
    const HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof item + 8192,
                                                     MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    char* buffer = remote + sizeof item;
    std::wstring result(4096, L'\0');
    if (text) item.*text = reinterpret_cast<LPWSTR>(buffer);
    if (remote && WriteProcessMemory(process, remote, &item, sizeof item, nullptr)) {
        SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(text ? remote : buffer));
        ReadProcessMemory(process, buffer, result.data(), 8190, nullptr);
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    if (process) CloseHandle(process);
    return result.c_str();
}

int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
// A cell's text; with LVM_SETITEMSTATE the row is selected instead.
std::wstring Cell(HWND list, int row, int column, UINT message = LVM_GETITEMTEXTW) {
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = 4000;
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    return Remote(list, message, static_cast<WPARAM>(row), item, &LVITEMW::pszText);
}
std::wstring Status(HWND bar, int part) { return Remote(bar, SB_GETTEXTW, part); }
int Row(HWND list, const std::string& name) {
    for (int row = 0; row < Rows(list); ++row)
        if (Cell(list, row, 0) == Wide(kPrefix + name)) return row;
    return -1;
}
// A window's or a control's text (0xFFFF: a message box's), carried across by the system.
std::wstring Text(HWND window, int id = 0) {
    wchar_t text[1024] = {};
    SendMessageW(id ? GetDlgItem(window, id) : window, WM_GETTEXT, 1024,
                 reinterpret_cast<LPARAM>(text));
    return text;
}
// A button pressed, or with VK_ESCAPE the key typed on it, which the program's
// loop gives to the dialog keyboard first; true once the window has gone.
bool Press(HWND window, int button, WPARAM key = 0) {
    const HWND control = GetDlgItem(window, button);
    key ? PostMessageW(control, WM_KEYDOWN, key, 1)
        : PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(control));
    return WaitUntil([&] { return !IsWindow(window); });
}

// One run of the program, ended when the object goes.
class Program {
public:
    Program() {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + g_program + L"\"";
        EXPECT_TRUE(CreateProcessW(g_program.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &process_));
    }
    ~Program() {
        TerminateProcess(process_.hProcess, 1);  // when it still runs
        WaitForSingleObject(process_.hProcess, 30000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    // A top-level window of the program of this class, if there is one now.
    HWND Find(const wchar_t* className) const {
        for (HWND window = nullptr;
             (window = FindWindowExW(nullptr, window, className, nullptr));) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == process_.dwProcessId) return window;
        }
        return nullptr;
    }
    // The same once it is there and shown (windows exist before they are filled and shown).
    HWND Window(const wchar_t* className) const {
        HWND found = nullptr;
        WaitUntil([&] { return (found = Find(className)) && IsWindowVisible(found); });
        return found;
    }
    // A control of the main window, once its list is loaded: the status bar counts the rows.
    HWND Control(int id) const {
        const HWND main = Window(ids::kMainClass), list = GetDlgItem(main, ids::kList);
        WaitUntil([&] {
            const std::wstring count = L"(" + std::to_wstring(Rows(list)) + L")";
            return Status(GetDlgItem(main, ids::kStatusBar), 1).rfind(count, 0) == 0;
        });
        return GetDlgItem(main, id);
    }
    void Command(int command) const {
        PostMessageW(GetParent(Control(ids::kList)), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    DWORD ExitCode() const {  // once it has ended
        DWORD code = STILL_ACTIVE;
        WaitUntil(
            [&] { return GetExitCodeProcess(process_.hProcess, &code) && code != STILL_ACTIVE; });
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
};

class EndToEnd : public PrefixTest {
protected:
    void SetUp() override {
        ASSERT_FALSE(g_program.empty()) << "pass --program=<path of dovoviza.exe>";
        PrefixTest::SetUp();
    }
    static std::wstring Setting(const wchar_t* name) {
        const Raw raw = GetRaw(HKEY_LOCAL_MACHINE, kSettings, name);
        return raw.status ? L"-" : reinterpret_cast<const wchar_t*>(raw.data.data());
    }
    static std::pair<LONG, LONG> Px(int width, int height) {
        return {TwipsToPixels(width, SystemDpi()), TwipsToPixels(height, SystemDpi())};
    }
};

TEST_F(EndToEnd, ListsAlertsDisablesEnablesRefusesASecondStartKeepsItsOptionsAndExits) {
    ASSERT_TRUE(Put("seeded", kNotepad + L" /x") && Put("back", kNotepad, kRunDisabled));
    for (const wchar_t* name : {L"Width", L"Heigth"})  // below the smallest: opens at the smallest
        ASSERT_TRUE(SetRaw(HKEY_LOCAL_MACHINE, kSettings, name, REG_SZ, Bytes(L"1000")));
    dovoviza::ShortcutInfo link;
    link.path = UserStartup() + "\\" + Named("link.lnk");
    link.target = Narrow(kNotepad);
    ASSERT_TRUE(shell.WriteShortcut(link));
    const std::wstring shortcut = Wide(link.path);
    Program program;
    const HWND list = program.Control(ids::kList), status = program.Control(ids::kStatusBar);
    const HWND main = GetParent(list);
    RECT rect{};
    GetWindowRect(main, &rect);
    EXPECT_EQ(std::pair(rect.right - rect.left, rect.bottom - rect.top), Px(11175, 7950));
    const int seeded = Row(list, "seeded"), back = Row(list, "back"),
              linked = Row(list, "link.lnk");
    ASSERT_TRUE(seeded >= 0 && back >= 0 && linked >= 0);
    const auto cells = [&](int row, std::initializer_list<int> columns) {
        std::wstring texts;
        for (const int column : columns) texts += Cell(list, row, column) + L"|";
        return texts;
    };
    EXPECT_EQ(cells(seeded, {1, 2, 3, 8, 13}), kNotepad + L" /x|Registry -> User Run||" + kNotepad +
                                                   L" |HKEY_CURRENT_USER\\" + kRun + L"|");
    EXPECT_EQ(cells(back, {2, 3}), L"Registry -> User Run|Disabled|");
    EXPECT_EQ(cells(linked, {1, 2}), shortcut + L"|Startup Folder -> User|");
    EXPECT_EQ(_wcsicmp(Cell(list, linked, 8).c_str(), kNotepad.c_str()), 0);
    EXPECT_TRUE(!Cell(list, seeded, 9).empty() && !Cell(list, seeded, 12).empty());  // size, date
    const auto disabled = [&](int more) {
        for (int row = 0; row < Rows(list); ++row) more += !Cell(list, row, 3).empty();
        return L"(" + std::to_wstring(more) + L") disabled";
    };
    EXPECT_EQ(Status(status, 2), disabled(0));
    {
        Program second;
        const HWND box = second.Window(L"#32770");
        EXPECT_EQ(Text(box) + L"|" + Text(box, 0xFFFF),
                  L"Varnek RuvazUv Avuzuza|Application is already running!");
        EXPECT_TRUE(Press(box, IDOK) && !second.Find(ids::kMainClass));
        EXPECT_NE(second.ExitCode(), static_cast<DWORD>(STILL_ACTIVE));
    }

    const std::wstring after = disabled(1);
    ASSERT_TRUE(Put("new", kNotepad));
    const HWND alert = program.Window(ids::kAlertClass);
    EXPECT_EQ(Text(alert, ids::kAlertName) + L"|" + Text(alert, ids::kAlertSection) + L"|" +
                  Text(alert, ids::kAlertDisable),
              Wide(Named("new")) + L"|Registry -> User Run|&Disable");
    EXPECT_TRUE(GetWindowLongPtrW(alert, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_GE(Row(list, "new"), 0);  // the list shows the entry when the alert opens
    ASSERT_TRUE(Press(alert, ids::kAlertDisable));
    EXPECT_EQ(Get("new").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Get("new", kRunDisabled).data, Bytes(kNotepad));
    EXPECT_TRUE(WaitUntil([&] { return Status(status, 2) == after; })) << Status(status, 2);
    EXPECT_EQ(Cell(list, Row(list, "new"), 3), L"Disabled");
    // Enabled from the list: back in its store, and left there. The next alert
    // is the next new entry's.
    Cell(list, Row(list, "new"), 0, LVM_SETITEMSTATE);
    program.Command(ids::kCmdEnable);
    EXPECT_TRUE(WaitUntil([&] { return Get("new").data == Bytes(kNotepad); }));
    EXPECT_EQ(Get("new", kRunDisabled).status, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(WaitUntil([&] { return Status(status, 2) == disabled(0); }));
    ASSERT_TRUE(Put("next", kNotepad));
    const HWND next = program.Window(ids::kAlertClass);
    EXPECT_EQ(Text(next, ids::kAlertName), Wide(Named("next")));
    EXPECT_EQ(Get("new").data, Bytes(kNotepad));
    ASSERT_TRUE(Press(next, ids::kAlertAllow, VK_ESCAPE));  // Escape lets it be

    program.Command(ids::kCmdHelpFile);  // the manual beside the program opens in its viewer
    EXPECT_NE(program.Window(L"HH Parent"), nullptr);
    // The start options; a new size, which closing keeps while it hides the window and Exit saves.
    BOOL wow64 = FALSE;  // a 32-bit program on 64-bit Windows starts from the Run key's twin
    wchar_t self[MAX_PATH] = {};
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64) &&
                GetFullPathNameW(g_program.c_str(), MAX_PATH, self, nullptr));
    const std::wstring run = std::wstring(wow64 ? L"Software\\Wow6432Node\\" : L"Software\\") +
                             L"Microsoft\\Windows\\CurrentVersion\\Run";
    for (const bool on : {true, false}) {
        program.Command(ids::kCmdRunWithWindows);
        EXPECT_TRUE(WaitUntil([&] {
            const Raw value = GetRaw(HKEY_LOCAL_MACHINE, run, L"Varnek RuvazUv Avuzuza");
            return on ? value.data == Bytes(self) : value.status == ERROR_FILE_NOT_FOUND;
        }));
    }
    program.Command(ids::kCmdRunMinimized);
    EXPECT_TRUE(WaitUntil([&] { return Setting(L"RunMinimized") == L"True"; }));
    const auto [width, height] = Px(13500, 9000);
    ASSERT_TRUE(SetWindowPos(main, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }) && IsWindow(main));
    EXPECT_EQ(Setting(L"Width"), L"1000");  // not saved yet
    PostMessageW(main, WM_COMMAND, ids::kCmdExit, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
    const auto twips = [](LONG pixels) {
        return std::to_wstring(PixelsToTwips(pixels, SystemDpi()));
    };
    EXPECT_EQ(Setting(L"Width") + L" " + Setting(L"Heigth"), twips(width) + L" " + twips(height));
    EXPECT_EQ(program.Find(ids::kTrayClass), nullptr);
}

TEST_F(EndToEnd, AWindowsFlagIsShownAndClearedADeleteIsRestoredFromHistoryAndTheListExported) {
    const std::wstring approved = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
    std::vector<std::uint8_t> flag(12, 0);
    flag[0] = 0x03, flag[6] = 0x44;
    ASSERT_TRUE(Put("flagged", kNotepad) && Put("gone", kNotepad + L" /g"));
    ASSERT_TRUE(SetRaw(HKEY_CURRENT_USER, approved, Wide(Named("flagged")), REG_BINARY, flag));
    Program program;
    const HWND list = program.Control(ids::kList);
    EXPECT_EQ(Cell(list, Row(list, "flagged"), 3), L"Disabled by Windows");
    Cell(list, Row(list, "flagged"), 0, LVM_SETITEMSTATE);
    program.Command(ids::kCmdEnable);
    std::vector<std::uint8_t> cleared(12, 0);
    cleared[0] = 0x02;
    EXPECT_TRUE(WaitUntil([&] { return GetRaw(HKEY_CURRENT_USER, approved, Wide(Named("flagged"))).data == cleared; }));
    EXPECT_EQ(Cell(list, Row(list, "flagged"), 3), L"");

    Cell(list, Row(list, "gone"), 0, LVM_SETITEMSTATE);
    program.Command(ids::kCmdDelete);
    ASSERT_TRUE(Press(program.Window(L"#32770"), IDYES));
    EXPECT_TRUE(WaitUntil([&] { return Get("gone").status == ERROR_FILE_NOT_FOUND; }));
    program.Command(ids::kCmdHistory);
    const HWND history = program.Window(dovoviza::ids::kHistoryClass);
    const HWND journal = GetDlgItem(history, dovoviza::ids::kHistoryList);
    EXPECT_EQ(Cell(journal, 0, 1) + L"|" + Cell(journal, 0, 3), L"deleted|" + Wide(Named("gone")));
    Cell(journal, 0, 0, LVM_SETITEMSTATE);
    PostMessageW(history, WM_COMMAND, MAKEWPARAM(dovoviza::ids::kHistoryRestore, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return Get("gone").data == Bytes(kNotepad + L" /g"); }));
    EXPECT_TRUE(WaitUntil([&] { return Row(list, "gone") >= 0; }));

    // Beside the running copy, without a window of its own.
    const std::wstring csv = Wide(Scratch("list.csv"));
    std::wstring command = L"\"" + g_program + L"\" /export \"" + csv + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION exporter{};
    ASSERT_TRUE(CreateProcessW(g_program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &exporter));
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(WaitUntil([&] { return GetExitCodeProcess(exporter.hProcess, &code) && code != STILL_ACTIVE; }));
    CloseHandle(exporter.hProcess);
    CloseHandle(exporter.hThread);
    EXPECT_EQ(code, 0u);
    const std::string text = ReadAll(Narrow(csv));
    EXPECT_EQ(text.substr(0, 16), "\xEF\xBB\xBFName,Command,");
    EXPECT_NE(text.find(Named("gone") + "," + Narrow(kNotepad) + " /g,Registry -> User Run,yes,enabled,REG_SZ"),
              std::string::npos);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, approved.c_str(), Wide(Named("flagged")).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--program=", 0) == 0) g_program = Wide(arg.substr(10));
    }
    return RUN_ALL_TESTS();
}
