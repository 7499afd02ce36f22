// Drives the shipped program from outside, as a user's tools would: starts
// dovoviza.exe, finds its windows by class, reads and drives the standard
// controls and checks the registry.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shobjidl.h>

#include <algorithm>

#include "WinTest.h"
#include "about/frmAbout.h"
#include "language/Ini.h"
#include "language/frmLanguage.h"
#include "monitor/frmAlert.h"
#include "platform/win32/Handles.h"

using namespace wintest;
using dovoviza::LanguageFile;

namespace {

std::wstring g_program;
const std::wstring kNotepad = L"C:\\windows\\notepad.exe";

// Sends a message whose structure and text buffer must live in the control's
// own process, as list views and status bars want them, and gives back the
// text. Without a structure the buffer itself is the message's parameter.
struct None {
    LPWSTR text;
};
template <typename Item = None>
std::wstring Remote(HWND control, UINT message, WPARAM wParam, Item item = {},
                    LPWSTR Item::*text = nullptr) {
    constexpr SIZE_T kChars = 4096;
    DWORD pid = 0;
    GetWindowThreadProcessId(control, &pid);
    const HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof item + kChars * 2,
                                                     MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    auto* buffer = remote + sizeof item;
    std::wstring result(kChars, L'\0');
    if (text) item.*text = reinterpret_cast<LPWSTR>(buffer);
    if (remote && WriteProcessMemory(process, remote, &item, sizeof item, nullptr)) {
        SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(text ? remote : buffer));
        ReadProcessMemory(process, buffer, result.data(), (kChars - 1) * 2, nullptr);
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    if (process) CloseHandle(process);
    return result.c_str();
}

int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
std::wstring Cell(HWND list, int row, int column) {
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = 4000;
    return Remote(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), item, &LVITEMW::pszText);
}
std::wstring Header(HWND list, int column) {
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT;
    header.cchTextMax = 4000;
    return Remote(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), header, &LVCOLUMNW::pszText);
}
std::wstring Status(HWND bar, int part) { return Remote(bar, SB_GETTEXTW, static_cast<WPARAM>(part)); }
int RowOf(HWND list, const std::string& name) {
    for (int row = 0; row < Rows(list); ++row)
        if (Cell(list, row, 0) == Wide(name)) return row;
    return -1;
}
void Select(HWND list, int row) {
    LVITEMW item{};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    Remote(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), item, &LVITEMW::pszText);
}
int Disabled(HWND list) {
    int disabled = 0;
    for (int row = 0; row < Rows(list); ++row) disabled += !Cell(list, row, 3).empty();
    return disabled;
}
std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));  // carried across
    return text;
}
std::wstring Text(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
// The text of a message box: its first static control with text.
std::wstring BoxText(HWND box) {
    std::wstring found;
    EnumChildWindows(box, [](HWND child, LPARAM param) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, L"Static") || Text(child).empty()) return TRUE;
        *reinterpret_cast<std::wstring*>(param) = Text(child);
        return FALSE;
    }, reinterpret_cast<LPARAM>(&found));
    return found;
}
void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
// A key typed on a control: the program's loop gives it to the dialog keyboard first.
void Press(HWND control, WPARAM key) {
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}
void PickLanguage(HWND dialog, int index) {
    const HWND list = GetDlgItem(dialog, ids::kLanguageList);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(ids::kLanguageList, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}
std::wstring Folder() { return g_program.substr(0, g_program.find_last_of(L"\\/")); }

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
        if (!Exited()) TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 30000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    // A top-level window of the program of this class, if there is one now.
    HWND Find(const wchar_t* className) const {
        struct Search {
            DWORD pid;
            const wchar_t* name;
            HWND found;
        } search{process_.dwProcessId, className, nullptr};
        EnumWindows([](HWND window, LPARAM param) {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            wchar_t name[64] = {};
            GetWindowThreadProcessId(window, &owner);
            GetClassNameW(window, name, 64);
            if (owner != s.pid || lstrcmpW(name, s.name)) return TRUE;
            s.found = window;
            return FALSE;
        }, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // The same once it is there and shown (windows exist before they are filled and shown).
    HWND Window(const wchar_t* className) const {
        HWND found = nullptr;
        WaitUntil([&] { return (found = Find(className)) && IsWindowVisible(found); });
        return found;
    }
    HWND Box() const { return Window(L"#32770"); }
    // The main window, once shown with its list loaded: the status bar counts the rows.
    HWND Main() const {
        const HWND main = Window(ids::kMainClass);
        WaitUntil([&] {
            const std::wstring count = L"(" + std::to_wstring(Rows(GetDlgItem(main, ids::kList))) + L")";
            return Status(GetDlgItem(main, ids::kStatusBar), 1).rfind(count, 0) == 0;
        });
        return main;
    }
    HWND Control(int id) const { return GetDlgItem(Main(), id); }
    void Command(int command) const { PostMessageW(Main(), WM_COMMAND, MAKEWPARAM(command, 0), 0); }
    bool Exited() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }
    bool WaitExit() const { return WaitUntil([&] { return Exited(); }); }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.hProcess, &code);
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
    // A language file beside the program, read the way the program reads it.
    LanguageFile Language(const std::wstring& name) {
        return LanguageFile::Load(files, system, Narrow(Folder() + L"\\Language\\" + name + L".lng"));
    }
    static std::wstring Get(const LanguageFile& file, const char* section, const std::string& key) {
        return Wide(file.Get(section, key));
    }
};

TEST_F(EndToEnd, ListsAlertsDisablesEnablesRefusesASecondStartAndExits) {
    ASSERT_TRUE(Put("seeded", kNotepad + L" /x"));
    ASSERT_TRUE(Put("back", kNotepad, kRunDisabled));
    dovoviza::win32::ComPtr<IShellLinkW> link;  // a shortcut as any other program makes it
    dovoviza::win32::ComPtr<IPersistFile> file;
    const std::wstring shortcut = Wide(UserStartup() + "\\" + Named("link.lnk"));
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, link.put_void())) &&
                SUCCEEDED(link->SetPath(kNotepad.c_str())) && SUCCEEDED(link.As(file)) &&
                SUCCEEDED(file->Save(shortcut.c_str(), TRUE)));

    Program program;
    const HWND list = program.Control(ids::kList), status = program.Control(ids::kStatusBar);
    const int seeded = RowOf(list, Named("seeded")), back = RowOf(list, Named("back")),
              linked = RowOf(list, Named("link.lnk"));
    ASSERT_TRUE(seeded >= 0 && back >= 0 && linked >= 0);
    const struct { int row, column; std::wstring text; } cells[] = {
        {seeded, 1, kNotepad + L" /x"}, {seeded, 2, L"Registry -> User Run"}, {seeded, 3, L""},
        {seeded, 8, kNotepad + L" "},
        {seeded, 13, L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
        {back, 2, L"Registry -> User Run"}, {back, 3, L"Disabled"},
        {linked, 1, shortcut}, {linked, 2, L"Startup Folder -> User"}};
    for (const auto& c : cells) EXPECT_EQ(Cell(list, c.row, c.column), c.text) << c.row << "," << c.column;
    EXPECT_EQ(_wcsicmp(Cell(list, linked, 8).c_str(), kNotepad.c_str()), 0);
    EXPECT_NE(Cell(list, seeded, 9), L"");   // size
    EXPECT_NE(Cell(list, seeded, 12), L"");  // date modified
    const auto disabledCount = [&](int extra) {
        return L"(" + std::to_wstring(Disabled(list) + extra) + L") disabled";
    };
    EXPECT_EQ(Status(status, 2), disabledCount(0));
    {
        Program second;
        const HWND box = second.Box();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Text(box) + L"|" + BoxText(box), L"Varnek RuvazUv Avuzuza|Application is already running!");
        EXPECT_EQ(second.Find(ids::kMainClass), nullptr);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(second.WaitExit());
    }

    const std::wstring after = disabledCount(1);
    ASSERT_TRUE(Put("new", kNotepad));
    const HWND alert = program.Window(ids::kAlertClass);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(Text(alert, ids::kAlertName), Wide(Named("new")));
    EXPECT_EQ(Text(alert, ids::kAlertSection), L"Registry -> User Run");
    EXPECT_EQ(Text(alert, ids::kAlertDisable), L"&Disable");
    EXPECT_TRUE(GetWindowLongPtrW(alert, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_GE(RowOf(list, Named("new")), 0);  // the list shows the entry when the alert opens
    Click(alert, ids::kAlertDisable);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(alert); }));
    EXPECT_EQ(Get("new").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Get("new", kRunDisabled).data, Bytes(kNotepad));
    EXPECT_TRUE(WaitUntil([&] { return Status(status, 2) == after; })) << Status(status, 2);
    EXPECT_EQ(Cell(list, RowOf(list, Named("new")), 3), L"Disabled");

    // Written back by its program: removed without an alert.
    ASSERT_TRUE(Put("new", kNotepad));
    EXPECT_TRUE(WaitUntil([&] { return Get("new").status != ERROR_SUCCESS; }));
    EXPECT_EQ(Get("new", kRunDisabled).data, Bytes(kNotepad));
    // Enabled from the list: back in its store and left there. The next alert
    // is the next new entry's.
    Select(list, RowOf(list, Named("new")));
    program.Command(ids::kCmdEnable);
    EXPECT_TRUE(WaitUntil([&] { return Get("new").data == Bytes(kNotepad); }));
    EXPECT_EQ(Get("new", kRunDisabled).status, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(WaitUntil([&] { return Status(status, 2) == disabledCount(0); }));
    ASSERT_TRUE(Put("next", kNotepad));
    const HWND next = program.Window(ids::kAlertClass);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(Text(next, ids::kAlertName), Wide(Named("next")));
    EXPECT_EQ(Get("new").data, Bytes(kNotepad));
    Click(next, ids::kAlertAllow);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(next); }));

    program.Command(ids::kCmdExit);
    ASSERT_TRUE(program.WaitExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    const auto setting = [](const wchar_t* name) {
        const Raw raw = GetRaw(HKEY_LOCAL_MACHINE, kSettings, name);
        return raw.status ? -1 : _wtoi(reinterpret_cast<const wchar_t*>(raw.data.data()));
    };
    EXPECT_GE(setting(L"Heigth"), 7950);
    EXPECT_GE(setting(L"Width"), 11175);
    EXPECT_EQ(program.Find(ids::kTrayClass), nullptr);
}

TEST_F(EndToEnd, TheLanguageDialogPreviewsEscapesAndAppliesTheLanguageForTheNextStart) {
    std::vector<std::wstring> languages;  // in the order the system lists the files
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW((Folder() + L"\\Language\\*.lng").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found))
        languages.push_back(std::wstring(found.cFileName).substr(0, wcslen(found.cFileName) - 4));
    FindClose(find);
    ASSERT_GE(languages.size(), 6u);
    const int german = static_cast<int>(std::find(languages.begin(), languages.end(), L"Deutsch") -
                                        languages.begin());
    const LanguageFile deutsch = Language(L"Deutsch");
    {
        Program program;
        // Nothing stored: English is picked and previewed.
        const auto open = [&] {
            program.Command(ids::kCmdLanguage);
            const HWND dialog = program.Window(ids::kLanguageClass);
            const auto picked = SendMessageW(GetDlgItem(dialog, ids::kLanguageList), CB_GETCURSEL, 0, 0);
            EXPECT_EQ(languages.at(static_cast<std::size_t>(picked)), L"English");
            EXPECT_EQ(Text(dialog), L"Select Language");
            return dialog;
        };
        HWND dialog = open();
        const HWND list = GetDlgItem(dialog, ids::kLanguageList);
        ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(languages.size()));
        for (std::size_t i = 0; i < languages.size(); ++i) {
            wchar_t item[256] = {};
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            EXPECT_EQ(item, languages[i]);
            PickLanguage(dialog, static_cast<int>(i));
            const LanguageFile language = Language(languages[i]);
            const std::pair<int, std::wstring> texts[] = {
                {0, Get(language, "Tray", "3")},
                {ids::kLanguageSelectLabel, Get(language, "Tray", "4")},
                {ids::kLanguageApply, Get(language, "Tray", "5")},
                {ids::kLanguageCancel, Get(language, "Tray", "6")},
                {ids::kLanguageTranslator, Get(language, "LANGUAGE", "translator")}};
            for (const auto& [id, text] : texts)
                EXPECT_EQ(id ? Text(dialog, id) : Text(dialog), text) << i << " " << id;
        }
        Press(list, VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Language").status, ERROR_FILE_NOT_FOUND);

        dialog = open();
        PickLanguage(dialog, german);
        Click(dialog, ids::kLanguageApply);
        const HWND box = program.Box();  // the confirmation speaks the new language
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Text(box), Get(deutsch, "Tray", "8"));
        EXPECT_EQ(BoxText(box), Get(deutsch, "Tray", "7"));
        EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Language").data, Bytes(L"Deutsch"));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(Header(program.Control(ids::kList), 0), L"Name");  // this run stays as it was
    }
    // The next start speaks German. (Wine keeps menus inside their process;
    // the Windows tests read them in German.)
    Program program;
    for (int column = 0; column < 14; ++column)
        EXPECT_EQ(Header(program.Control(ids::kList), column), Get(deutsch, "Main", std::to_string(19 + column)));
    ASSERT_TRUE(Put("new", kNotepad));
    const HWND alert = program.Window(ids::kAlertClass);
    ASSERT_NE(alert, nullptr);
    for (const auto& [id, key] : {std::pair{ids::kAlertHeading, "1"}, {ids::kAlertAllow, "7"},
                                  {ids::kAlertDelete, "9"}})
        EXPECT_EQ(Text(alert, id), Get(deutsch, "Alert", key));
}

TEST_F(EndToEnd, TheAboutBoxTheUpdateCheckAndTheManual) {
    Program program;
    // The build's update server is out of reach here: the check fails quietly,
    // and the window goes on answering.
    program.Command(ids::kCmdUpdate);
    program.Command(ids::kCmdAbout);
    const HWND about = program.Window(ids::kAboutClass);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Text(about), L"About");
    EXPECT_EQ(Text(about, ids::kAboutTitle), L"Varnek RuvazUv Avuzuza");
    EXPECT_EQ(Text(about, ids::kAboutVersionLabel), L"Version:");
    EXPECT_EQ(Text(about, ids::kAboutVersion), L"2.0");
    // The number follows the word at 40 twips, whatever the word's length.
    RECT label{}, version{};
    ASSERT_TRUE(GetWindowRect(GetDlgItem(about, ids::kAboutVersionLabel), &label) &&
                GetWindowRect(GetDlgItem(about, ids::kAboutVersion), &version));
    const HDC screen = GetDC(nullptr);
    EXPECT_EQ(version.left - label.right, MulDiv(40, GetDeviceCaps(screen, LOGPIXELSX), 1440));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(version.top, label.top);
    Press(GetDlgItem(about, ids::kAboutClose), VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));

    program.Command(ids::kCmdHelpFile);  // the manual beside the program opens in its viewer
    EXPECT_NE(program.Window(L"HH Parent"), nullptr);
    EXPECT_EQ(program.Find(L"#32770"), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--program=", 0) == 0) g_program = Wide(arg.substr(10));
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return RUN_ALL_TESTS();
}
