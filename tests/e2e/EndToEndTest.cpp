// Drives the real program from outside, as a user's tools would: it starts
// dovoviza.exe, finds its windows by class and caption, reads the standard
// controls and checks the registry and the Startup folder.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "RemoteWindow.h"
#include "about/frmAbout.h"
#include "app/WindowIds.h"
#include "language/frmLanguage.h"
#include "monitor/frmAlert.h"
#include "operations/frmAdd.h"
#include "language/Ini.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32System.h"

using namespace e2e;
namespace ids = dovoviza::ids;

namespace {

std::wstring g_program;

const wchar_t* const kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const kRunDisabled = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
const wchar_t* const kSettings = L"SOFTWARE\\Varnek Ruvazuv Avuzuza";
const wchar_t* const kNotepad = L"C:\\windows\\notepad.exe";

bool SetString(HKEY hive, const wchar_t* path, const wchar_t* name, const std::wstring& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(hive, path, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG result = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

std::optional<std::wstring> GetString(HKEY hive, const wchar_t* path, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(hive, path, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t data[2048] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::wstring(data);
}

void DeleteValue(HKEY hive, const wchar_t* path, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(hive, path, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, name);
        RegCloseKey(key);
    }
}

std::wstring UserStartupFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, 0, path);
    return path;
}

bool WriteShortcut(const std::wstring& lnk, const std::wstring& target) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->SetPath(target.c_str())) &&
              SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Save(lnk.c_str(), TRUE));
    if (file) file->Release();
    link->Release();
    return ok;
}

struct FoundWindow {
    DWORD pid;
    const wchar_t* className;
    HWND found = nullptr;  // the first in the system's order
    int count = 0;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<FoundWindow*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (owner == s->pid && lstrcmpW(name, s->className) == 0) {
        if (s->found == nullptr) s->found = window;
        ++s->count;
    }
    return TRUE;
}

FoundWindow FindProcessWindows(DWORD pid, const wchar_t* className) {
    FoundWindow search{pid, className};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

HWND FindProcessWindow(DWORD pid, const wchar_t* className) { return FindProcessWindows(pid, className).found; }

BOOL CALLBACK MatchStaticText(HWND child, LPARAM param) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    const std::wstring value = WindowText(child);
    if (lstrcmpiW(name, L"Static") == 0 && !value.empty()) {
        *reinterpret_cast<std::wstring*>(param) = value;
        return FALSE;
    }
    return TRUE;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, MatchStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

// A language file beside the program, read the way the program reads it.
class Language {
public:
    explicit Language(const std::wstring& name) {
        static dovoviza::win32::Win32FileSystem files;
        static dovoviza::win32::Win32System system;
        const std::wstring path = FolderOf(g_program) + L"\\Language\\" + name + L".lng";
        file_ = dovoviza::LanguageFile::Load(files, system, dovoviza::win32::Narrow(path));
    }
    std::wstring operator()(const char* section, const char* key) const {
        return dovoviza::win32::Wide(file_.Get(section, key));
    }

private:
    dovoviza::LanguageFile file_;
};

// The language names in the order the system lists the files.
std::vector<std::wstring> LanguagesInFolder() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW((FolderOf(g_program) + L"\\Language\\*.lng").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        names.push_back(name.substr(0, name.size() - 4));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

std::wstring ComboText(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return L"<none>";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

// One run of the program, ended when the object goes.
class Program {
public:
    bool Start(const std::wstring& program = g_program) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + program + L"\"";
        return CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process_) != FALSE;
    }
    // A command of the main window's menus.
    void Command(int command) const { PostMessageW(Main(), WM_COMMAND, MAKEWPARAM(command, 0), 0); }
    // A window of the program that exists and is shown.
    HWND Shown(const wchar_t* className, DWORD milliseconds = 5000) const {
        const HWND window = Window(className, milliseconds);
        if (window == nullptr || !WaitFor([&] { return IsWindowVisible(window) != FALSE; }, milliseconds)) {
            return nullptr;
        }
        return window;
    }
    ~Program() {
        if (process_.hProcess != nullptr) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 1);
                WaitForSingleObject(process_.hProcess, 5000);
            }
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
    }
    DWORD Pid() const { return process_.dwProcessId; }
    HWND Window(const wchar_t* className, DWORD milliseconds = 0) const {
        HWND found = nullptr;
        WaitFor([&] { return (found = FindProcessWindow(Pid(), className)) != nullptr; }, milliseconds);
        return found;
    }
    // The main window exists hidden while it loads and makes its first scan;
    // it is ready once shown and answering, with its monitor running.
    HWND Main() const {
        const HWND main = Window(ids::kMainClass, 30000);
        DWORD_PTR answer = 0;
        if (main != nullptr) {
            WaitFor([&] {
                return IsWindowVisible(main) != FALSE &&
                       SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) != 0;
            }, 10000);
        }
        return main;
    }
    HWND Control(int id) const { return GetDlgItem(Main(), id); }
    bool WaitExit(DWORD milliseconds) const {
        return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
};

std::optional<int> RowOf(HWND list, const std::wstring& name) {
    for (int row = 0; row < ListRowCount(list); ++row) {
        if (ListCellText(list, row, 0) == name) return row;
    }
    return std::nullopt;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(g_program.empty()) << "pass --program=<path of dovoviza.exe>";
        Clean();
    }
    void TearDown() override { Clean(); }
    static void Clean() {
        DeleteValue(HKEY_LOCAL_MACHINE, kSettings, L"Language");
        for (const wchar_t* name : {L"dovoviza-e2e-seeded", L"dovoviza-e2e-new", L"dovoviza-e2e-back",
                                   L"dovoviza-e2e-after"}) {
            DeleteValue(HKEY_CURRENT_USER, kRun, name);
            DeleteValue(HKEY_CURRENT_USER, kRunDisabled, name);
        }
        DeleteFileW((UserStartupFolder() + L"\\dovoviza-e2e.lnk").c_str());
    }
};

TEST_F(EndToEnd, SeededEntriesAppearAsRowsWithTheirColumnsAndCounts) {
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, L"dovoviza-e2e-seeded", std::wstring(kNotepad) + L" /x"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRunDisabled, L"dovoviza-e2e-back", kNotepad));
    ASSERT_TRUE(WriteShortcut(UserStartupFolder() + L"\\dovoviza-e2e.lnk", kNotepad));

    Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.Main(), nullptr);
    const HWND list = program.Control(ids::kList);
    ASSERT_NE(list, nullptr);
    wchar_t listClass[64] = {};
    GetClassNameW(list, listClass, 64);
    EXPECT_STREQ(listClass, L"SysListView32");

    const auto seeded = RowOf(list, L"dovoviza-e2e-seeded");
    ASSERT_TRUE(seeded);
    EXPECT_EQ(ListCellText(list, *seeded, 1), std::wstring(kNotepad) + L" /x");
    EXPECT_EQ(ListCellText(list, *seeded, 2), L"Registry -> User Run");
    EXPECT_EQ(ListCellText(list, *seeded, 3), L"");
    EXPECT_EQ(ListCellText(list, *seeded, 8), std::wstring(kNotepad) + L" ");
    EXPECT_EQ(ListCellText(list, *seeded, 13),
              L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_FALSE(ListCellText(list, *seeded, 9).empty());  // size
    EXPECT_FALSE(ListCellText(list, *seeded, 12).empty()); // date modified

    const auto disabled = RowOf(list, L"dovoviza-e2e-back");
    ASSERT_TRUE(disabled);
    EXPECT_EQ(ListCellText(list, *disabled, 2), L"Registry -> User Run");
    EXPECT_EQ(ListCellText(list, *disabled, 3), L"Disabled");

    const auto shortcut = RowOf(list, L"dovoviza-e2e.lnk");
    ASSERT_TRUE(shortcut);
    EXPECT_EQ(ListCellText(list, *shortcut, 2), L"Startup Folder -> User");
    EXPECT_EQ(ListCellText(list, *shortcut, 1), UserStartupFolder() + L"\\dovoviza-e2e.lnk");
    EXPECT_EQ(_wcsicmp(ListCellText(list, *shortcut, 8).c_str(), kNotepad), 0);

    const HWND status = program.Control(ids::kStatusBar);
    const int rows = ListRowCount(list);
    int disabledRows = 0;
    for (int row = 0; row < rows; ++row) disabledRows += !ListCellText(list, row, 3).empty();
    EXPECT_EQ(StatusBarText(status, 1), L"(" + std::to_wstring(rows) + L") items");
    EXPECT_EQ(StatusBarText(status, 2), L"(" + std::to_wstring(disabledRows) + L") disabled");
}

TEST_F(EndToEnd, NewRunValueRaisesAnAlertAndDisableMovesIt) {
    Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.Main(), nullptr);

    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, L"dovoviza-e2e-new", kNotepad));
    // Like the main window, an alert exists before it is filled and shown.
    const HWND alert = program.Shown(ids::kAlertClass, 10000);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(alert, ids::kAlertName)), L"dovoviza-e2e-new");
    EXPECT_EQ(WindowText(GetDlgItem(alert, ids::kAlertSection)), L"Registry -> User Run");
    EXPECT_EQ(WindowText(GetDlgItem(alert, ids::kAlertDisable)), L"&Disable");
    EXPECT_TRUE(GetWindowLongPtrW(alert, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The main list already shows the entry when the alert opens.
    EXPECT_TRUE(RowOf(program.Control(ids::kList), L"dovoviza-e2e-new"));

    PostMessageW(alert, WM_COMMAND, MAKEWPARAM(ids::kAlertDisable, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(alert, ids::kAlertDisable)));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(alert); }, 5000));
    EXPECT_FALSE(GetString(HKEY_CURRENT_USER, kRun, L"dovoviza-e2e-new"));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kRunDisabled, L"dovoviza-e2e-new"), kNotepad);
    const HWND list = program.Control(ids::kList);
    EXPECT_TRUE(WaitFor([&] {
        const auto row = RowOf(list, L"dovoviza-e2e-new");
        return row && ListCellText(list, *row, 3) == L"Disabled";
    }, 3000));
}

TEST_F(EndToEnd, DisabledValueWrittenBackIsRemovedWithinOneTickWithoutAnAlert) {
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRunDisabled, L"dovoviza-e2e-back", kNotepad));
    Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.Main(), nullptr);

    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, L"dovoviza-e2e-back", kNotepad));
    EXPECT_TRUE(WaitFor([] { return !GetString(HKEY_CURRENT_USER, kRun, L"dovoviza-e2e-back"); }, 10000));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kRunDisabled, L"dovoviza-e2e-back"), kNotepad);
    // A value written now is alerted by a later tick than the one that removed
    // the copy: the only alert by then is for it, none came for the copy.
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, L"dovoviza-e2e-after", kNotepad));
    const HWND alert = program.Shown(ids::kAlertClass, 10000);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(alert, ids::kAlertName)), L"dovoviza-e2e-after");
    EXPECT_EQ(FindProcessWindows(program.Pid(), ids::kAlertClass).count, 1);
}

TEST_F(EndToEnd, FileExitSavesTheSizeAndEndsTheProcess) {
    DeleteValue(HKEY_LOCAL_MACHINE, kSettings, L"Heigth");
    DeleteValue(HKEY_LOCAL_MACHINE, kSettings, L"Width");
    Program program;
    ASSERT_TRUE(program.Start());
    const HWND main = program.Main();
    ASSERT_NE(main, nullptr);
    // Found as soon as it exists; shown once its load has run.
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 10000));
    wchar_t caption[64] = {};
    GetWindowTextW(main, caption, 64);
    EXPECT_STREQ(caption, L"Varnek RuvazUv Avuzuza");

    PostMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdExit, 0), 0);
    ASSERT_TRUE(program.WaitExit(10000));
    EXPECT_EQ(program.ExitCode(), 0u);
    const auto height = GetString(HKEY_LOCAL_MACHINE, kSettings, L"Heigth");
    const auto width = GetString(HKEY_LOCAL_MACHINE, kSettings, L"Width");
    ASSERT_TRUE(height && width);
    EXPECT_GE(std::stoi(*height), 7950);
    EXPECT_GE(std::stoi(*width), 11175);
    EXPECT_EQ(FindProcessWindow(program.Pid(), ids::kTrayClass), nullptr);
}

TEST_F(EndToEnd, SecondStartSaysTheProgramIsAlreadyRunning) {
    Program first;
    ASSERT_TRUE(first.Start());
    ASSERT_NE(first.Main(), nullptr);

    Program second;
    ASSERT_TRUE(second.Start());
    const HWND box = second.Window(L"#32770", 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), L"Varnek RuvazUv Avuzuza");
    EXPECT_EQ(MessageBoxText(box), L"Application is already running!");
    EXPECT_EQ(second.Window(ids::kMainClass), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitExit(10000));
    EXPECT_TRUE(IsWindow(first.Main()));
}

// Presses a key on a control of the program: its message loop gives the key
// to the dialog keyboard first, as it does for a key typed by the user.
void PressKey(HWND control, WPARAM key) {
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

void PickLanguage(HWND dialog, int index) {
    const HWND list = GetDlgItem(dialog, ids::kLanguageList);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(ids::kLanguageList, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

TEST_F(EndToEnd, LanguageDialogListsPreviewsAndAppliesTheLanguageForTheNextStart) {
    const std::vector<std::wstring> languages = LanguagesInFolder();
    ASSERT_GE(languages.size(), 6u);
    int german = -1;
    {
        Program program;
        ASSERT_TRUE(program.Start());
        ASSERT_NE(program.Main(), nullptr);
        program.Command(ids::kCmdLanguage);
        const HWND dialog = program.Shown(ids::kLanguageClass);
        ASSERT_NE(dialog, nullptr);
        const HWND list = GetDlgItem(dialog, ids::kLanguageList);
        ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(languages.size()));
        for (int i = 0; i < static_cast<int>(languages.size()); ++i) {
            EXPECT_EQ(ComboText(list, i), languages[i]);
            if (languages[i] == L"Deutsch") german = i;
        }
        // Nothing stored: English is picked and previewed.
        const LRESULT picked = SendMessageW(list, CB_GETCURSEL, 0, 0);
        ASSERT_NE(picked, CB_ERR);
        EXPECT_EQ(languages[static_cast<std::size_t>(picked)], L"English");
        EXPECT_EQ(WindowText(dialog), L"Select Language");

        for (int i = 0; i < static_cast<int>(languages.size()); ++i) {
            PickLanguage(dialog, i);
            const Language language(languages[i]);
            EXPECT_EQ(WindowText(dialog), language("Tray", "3")) << "caption of " << i;
            EXPECT_EQ(WindowText(GetDlgItem(dialog, ids::kLanguageSelectLabel)), language("Tray", "4"));
            EXPECT_EQ(WindowText(GetDlgItem(dialog, ids::kLanguageApply)), language("Tray", "5"));
            EXPECT_EQ(WindowText(GetDlgItem(dialog, ids::kLanguageCancel)), language("Tray", "6"));
            EXPECT_EQ(WindowText(GetDlgItem(dialog, ids::kLanguageTranslator)),
                      language("LANGUAGE", "translator"));
        }
        // Previewing does not touch the running program.
        EXPECT_EQ(ListColumnHeader(program.Control(ids::kList), 0), L"Name");

        ASSERT_GE(german, 0);
        PickLanguage(dialog, german);
        const HWND apply = GetDlgItem(dialog, ids::kLanguageApply);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ids::kLanguageApply, BN_CLICKED),
                     reinterpret_cast<LPARAM>(apply));
        // The confirmation speaks the new language.
        const Language deutsch(L"Deutsch");
        const HWND box = program.Window(L"#32770", 5000);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowText(box), deutsch("Tray", "8"));
        EXPECT_EQ(MessageBoxText(box), deutsch("Tray", "7"));
        EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, kSettings, L"Language"), L"Deutsch");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000));
        EXPECT_EQ(ListColumnHeader(program.Control(ids::kList), 0), L"Name");
        program.Command(ids::kCmdExit);
        ASSERT_TRUE(program.WaitExit(10000));
    }

    // The next start speaks German everywhere.
    const Language deutsch(L"Deutsch");
    Program program;
    ASSERT_TRUE(program.Start());
    const HWND main = program.Main();
    ASSERT_NE(main, nullptr);
    const HWND list = program.Control(ids::kList);
    for (int column = 0; column < 14; ++column) {
        EXPECT_EQ(ListColumnHeader(list, column), deutsch("Main", std::to_string(19 + column).c_str()));
    }
    // (Wine keeps menus inside their process; the Windows tests read them in German.)

    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, L"dovoviza-e2e-new", kNotepad));
    const HWND alert = program.Shown(ids::kAlertClass, 8000);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(alert, ids::kAlertHeading)), deutsch("Alert", "1"));
    EXPECT_EQ(WindowText(GetDlgItem(alert, ids::kAlertAllow)), deutsch("Alert", "7"));
    EXPECT_EQ(WindowText(GetDlgItem(alert, ids::kAlertDelete)), deutsch("Alert", "9"));
}

TEST_F(EndToEnd, EscapeClosesTheLanguageDialogAndTheAboutBoxWithNothingStored) {
    Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.Main(), nullptr);

    program.Command(ids::kCmdLanguage);
    const HWND dialog = program.Shown(ids::kLanguageClass);
    ASSERT_NE(dialog, nullptr);
    PickLanguage(dialog, 0);
    PressKey(GetDlgItem(dialog, ids::kLanguageList), VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_FALSE(GetString(HKEY_LOCAL_MACHINE, kSettings, L"Language"));

    program.Command(ids::kCmdAbout);
    const HWND about = program.Shown(ids::kAboutClass);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowText(about), L"About");
    EXPECT_EQ(WindowText(GetDlgItem(about, ids::kAboutTitle)), L"Varnek RuvazUv Avuzuza");
    EXPECT_EQ(WindowText(GetDlgItem(about, ids::kAboutVersionLabel)), L"Version:");
    EXPECT_EQ(WindowText(GetDlgItem(about, ids::kAboutVersion)), L"2.0");
    // The number follows the word at 40 twips, whatever the word's length.
    RECT label{}, version{};
    ASSERT_TRUE(GetWindowRect(GetDlgItem(about, ids::kAboutVersionLabel), &label));
    ASSERT_TRUE(GetWindowRect(GetDlgItem(about, ids::kAboutVersion), &version));
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(version.left - label.right, MulDiv(40, dpi, 1440));
    EXPECT_EQ(version.top, label.top);
    PressKey(GetDlgItem(about, ids::kAboutClose), VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }, 5000));
}

TEST_F(EndToEnd, HelpOpensTheManualAndSaysSoWhenItIsMissing) {
    {
        Program program;
        ASSERT_TRUE(program.Start());
        ASSERT_NE(program.Main(), nullptr);
        program.Command(ids::kCmdHelpFile);
        EXPECT_NE(program.Shown(L"HH Parent", 10000), nullptr);
        EXPECT_EQ(program.Window(L"#32770"), nullptr);
    }

    // A copy of the program without its manual beside it.
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring folder = std::wstring(temp) + L"dovoviza-e2e-nohelp";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\Language").c_str(), nullptr);
    const std::wstring copy = folder + L"\\dovoviza.exe";
    ASSERT_TRUE(CopyFileW(g_program.c_str(), copy.c_str(), FALSE));
    const std::wstring english = L"\\Language\\English.lng";
    ASSERT_TRUE(CopyFileW((FolderOf(g_program) + english).c_str(), (folder + english).c_str(), FALSE));
    DeleteFileW((folder + L"\\dovoviza.chm").c_str());
    {
        Program program;
        ASSERT_TRUE(program.Start(copy));
        ASSERT_NE(program.Main(), nullptr);
        program.Command(ids::kCmdHelpFile);
        const HWND box = program.Window(L"#32770", 5000);
        ASSERT_NE(box, nullptr);
        const Language language(L"English");
        EXPECT_EQ(WindowText(box), language("Main", "44"));
        EXPECT_EQ(MessageBoxText(box), language("Main", "45"));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000));
    }
    DeleteFileW(copy.c_str());
    DeleteFileW((folder + english).c_str());
    RemoveDirectoryW((folder + L"\\Language").c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--program=", 0) == 0) {
            const std::string path = arg.substr(10);
            g_program.assign(path.begin(), path.end());
        }
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
