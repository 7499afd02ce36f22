// Drives the real program from outside, as a user's tools would: it starts
// dovoviza.exe, finds its windows by class, reads the standard controls and
// checks the registry and the Startup folder.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shobjidl.h>

#include <algorithm>
#include <optional>

#include "WinTest.h"
#include "language/Ini.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32System.h"

using namespace wintest;
using dovoviza::win32::ComPtr;

namespace {

std::wstring g_program;
const std::wstring kNotepad = L"C:\\windows\\notepad.exe";

// Sends a message whose text buffer must live in the control's own process,
// as list views and status bars want it, and gives back the text.
template <typename Header>
std::wstring RemoteText(HWND control, UINT message, WPARAM wParam, Header header, LPWSTR Header::*text) {
    constexpr SIZE_T kChars = 4096;
    DWORD pid = 0;
    GetWindowThreadProcessId(control, &pid);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(Header) + kChars * 2, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::wstring result(kChars, L'\0');
    if (text) header.*text = reinterpret_cast<LPWSTR>(remote + sizeof(Header));
    if (remote && WriteProcessMemory(process, remote, &header, sizeof header, nullptr)) {
        SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(text ? remote : remote + sizeof(Header)));
        ReadProcessMemory(process, remote + sizeof(Header), result.data(), (kChars - 1) * 2, nullptr);
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
    return RemoteText(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), item, &LVITEMW::pszText);
}
std::wstring Header(HWND list, int column) {
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT;
    header.cchTextMax = 4000;
    return RemoteText(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), header, &LVCOLUMNW::pszText);
}
struct NoHeader {
    LPWSTR unused;
};
std::wstring Status(HWND bar, int part) {
    return RemoteText(bar, SB_GETTEXTW, static_cast<WPARAM>(part), NoHeader{}, static_cast<LPWSTR NoHeader::*>(nullptr));
}
int Setting(const wchar_t* name) {
    const Raw raw = GetRaw(HKEY_LOCAL_MACHINE, kSettings, name);
    return raw.status ? -1 : _wtoi(reinterpret_cast<const wchar_t*>(raw.data.data()));
}
std::optional<int> RowOf(HWND list, const std::string& name) {
    for (int row = 0; row < Rows(list); ++row)
        if (Cell(list, row, 0) == Wide(name)) return row;
    return std::nullopt;
}
std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));  // carried across by the system
    return text;
}
BOOL CALLBACK MatchStatic(HWND child, LPARAM param) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (lstrcmpiW(name, L"Static") || Text(child).empty()) return TRUE;
    *reinterpret_cast<std::wstring*>(param) = Text(child);
    return FALSE;
}
// The text of a message box: its first static control with text.
std::wstring BoxText(HWND box) {
    std::wstring found;
    EnumChildWindows(box, MatchStatic, reinterpret_cast<LPARAM>(&found));
    return found;
}
struct Search {
    DWORD pid;
    const wchar_t* name;
    HWND found;
};
BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    wchar_t name[64] = {};
    GetWindowThreadProcessId(window, &owner);
    GetClassNameW(window, name, 64);
    if (owner != s->pid || lstrcmpW(name, s->name)) return TRUE;
    s->found = window;
    return FALSE;
}
void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
// A key typed on a control: the program's loop gives it to the dialog keyboard first.
void Press(HWND control, WPARAM key) {
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}
std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

// A language file beside the program, read the way the program reads it.
class Language {
public:
    explicit Language(const std::wstring& name)
        : file_(dovoviza::LanguageFile::Load(files_, system_, Narrow(FolderOf(g_program) + L"\\Language\\" + name + L".lng"))) {}
    std::wstring operator()(const char* section, const char* key) const { return Wide(file_.Get(section, key)); }

private:
    inline static dovoviza::win32::Win32FileSystem files_;
    inline static dovoviza::win32::Win32System system_;
    dovoviza::LanguageFile file_;
};

// One run of the program, ended when the object goes.
class Program {
public:
    explicit Program(const std::wstring& program = g_program) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + program + L"\"";
        EXPECT_TRUE(CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process_));
    }
    ~Program() {
        if (!Exited()) TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 30000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    // A top-level window of the program of this class, if there is one now.
    HWND Find(const wchar_t* className) const {
        Search search{process_.dwProcessId, className, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
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
        WaitUntil([&] { return Status(GetDlgItem(main, ids::kStatusBar), 1).rfind(
                                   L"(" + std::to_wstring(Rows(GetDlgItem(main, ids::kList))) + L")", 0) == 0; });
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

int DisabledRows(HWND list) {
    int disabled = 0;
    for (int row = 0; row < Rows(list); ++row) disabled += !Cell(list, row, 3).empty();
    return disabled;
}

class EndToEnd : public PrefixTest {
protected:
    void SetUp() override {
        ASSERT_FALSE(g_program.empty()) << "pass --program=<path of dovoviza.exe>";
        PrefixTest::SetUp();
    }
};

TEST_F(EndToEnd, EntriesShowAsRowsWithTheirColumnsAndCounts) {
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("seeded")), kNotepad + L" /x"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRunDisabled, Wide(Named("back")), kNotepad));
    ComPtr<IShellLinkW> link;  // a shortcut as any other program makes it
    ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           link.put_void())) && SUCCEEDED(link->SetPath(kNotepad.c_str())) &&
                SUCCEEDED(link.As(file)) && SUCCEEDED(file->Save(Wide(UserStartup() + "\\" + Named("link.lnk")).c_str(), TRUE)));

    Program program;
    const HWND list = program.Control(ids::kList);
    const auto seeded = RowOf(list, Named("seeded")), back = RowOf(list, Named("back")), shortcut = RowOf(list, Named("link.lnk"));
    ASSERT_TRUE(seeded && back && shortcut);
    const struct { int row, column; std::wstring text; } cells[] = {
        {*seeded, 1, kNotepad + L" /x"}, {*seeded, 2, L"Registry -> User Run"}, {*seeded, 3, L""},
        {*seeded, 8, kNotepad + L" "},
        {*seeded, 13, L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
        {*back, 2, L"Registry -> User Run"}, {*back, 3, L"Disabled"},
        {*shortcut, 1, Wide(UserStartup() + "\\" + Named("link.lnk"))}, {*shortcut, 2, L"Startup Folder -> User"}};
    for (const auto& c : cells) EXPECT_EQ(Cell(list, c.row, c.column), c.text) << c.row << "," << c.column;
    EXPECT_EQ(_wcsicmp(Cell(list, *shortcut, 8).c_str(), kNotepad.c_str()), 0);
    EXPECT_NE(Cell(list, *seeded, 9), L"");   // size
    EXPECT_NE(Cell(list, *seeded, 12), L"");  // date modified
    EXPECT_EQ(Status(program.Control(ids::kStatusBar), 2), L"(" + std::to_wstring(DisabledRows(list)) + L") disabled");
}

TEST_F(EndToEnd, ANewRunValueIsAlertedDisabledFromTheAlertAndKeptDisabled) {
    Program program;
    const HWND list = program.Control(ids::kList), status = program.Control(ids::kStatusBar);
    const std::wstring disabledAfter = L"(" + std::to_wstring(DisabledRows(list) + 1) + L") disabled";
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("new")), kNotepad));
    const HWND alert = program.Window(ids::kAlertClass);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(Text(GetDlgItem(alert, ids::kAlertName)), Wide(Named("new")));
    EXPECT_EQ(Text(GetDlgItem(alert, ids::kAlertSection)), L"Registry -> User Run");
    EXPECT_EQ(Text(GetDlgItem(alert, ids::kAlertDisable)), L"&Disable");
    EXPECT_TRUE(GetWindowLongPtrW(alert, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(RowOf(list, Named("new")));  // the list shows the entry when the alert opens

    Click(alert, ids::kAlertDisable);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(alert); }));
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, kRun, Wide(Named("new"))).status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, kRunDisabled, Wide(Named("new"))).data, Bytes(kNotepad));
    EXPECT_TRUE(WaitUntil([&] { return Status(status, 2) == disabledAfter; })) << Status(status, 2);
    EXPECT_EQ(Cell(list, RowOf(list, Named("new")).value_or(-1), 3), L"Disabled");

    // Written back by its program: removed without an alert. The next alert is the next new entry's.
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("new")), kNotepad));
    EXPECT_TRUE(WaitUntil([] { return GetRaw(HKEY_CURRENT_USER, kRun, Wide(Named("new"))).status != ERROR_SUCCESS; }));
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, kRunDisabled, Wide(Named("new"))).data, Bytes(kNotepad));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("next")), kNotepad));
    const HWND next = program.Window(ids::kAlertClass);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(Text(GetDlgItem(next, ids::kAlertName)), Wide(Named("next")));
}

TEST_F(EndToEnd, ASecondStartSaysSoAndFileExitSavesTheSizeAndEnds) {
    Program first;
    const HWND main = first.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Text(main), L"Varnek RuvazUv Avuzuza");
    {
        Program second;
        const HWND box = second.Box();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Text(box), L"Varnek RuvazUv Avuzuza");
        EXPECT_EQ(BoxText(box), L"Application is already running!");
        EXPECT_EQ(second.Find(ids::kMainClass), nullptr);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(second.WaitExit());
    }
    first.Command(ids::kCmdExit);
    ASSERT_TRUE(first.WaitExit());
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_GE(Setting(L"Heigth"), 7950);
    EXPECT_GE(Setting(L"Width"), 11175);
    EXPECT_EQ(first.Find(ids::kTrayClass), nullptr);
}

void PickLanguage(HWND dialog, int index) {
    const HWND list = GetDlgItem(dialog, ids::kLanguageList);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(ids::kLanguageList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

TEST_F(EndToEnd, TheLanguageDialogListsPreviewsAndAppliesTheLanguageForTheNextStart) {
    std::vector<std::wstring> languages;  // in the order the system lists the files
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW((FolderOf(g_program) + L"\\Language\\*.lng").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found))
        languages.push_back(std::wstring(found.cFileName).substr(0, wcslen(found.cFileName) - 4));
    FindClose(find);
    ASSERT_GE(languages.size(), 6u);
    const auto german = std::find(languages.begin(), languages.end(), L"Deutsch") - languages.begin();
    const Language deutsch(L"Deutsch");
    {
        Program program;
        program.Command(ids::kCmdLanguage);
        const HWND dialog = program.Window(ids::kLanguageClass);
        ASSERT_NE(dialog, nullptr);
        const HWND list = GetDlgItem(dialog, ids::kLanguageList);
        ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(languages.size()));
        // Nothing stored: English is picked and previewed.
        EXPECT_EQ(languages.at(static_cast<std::size_t>(SendMessageW(list, CB_GETCURSEL, 0, 0))), L"English");
        EXPECT_EQ(Text(dialog), L"Select Language");
        for (std::size_t i = 0; i < languages.size(); ++i) {
            wchar_t item[256] = {};
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            EXPECT_EQ(item, languages[i]);
            PickLanguage(dialog, static_cast<int>(i));
            const Language language(languages[i]);
            EXPECT_EQ(Text(dialog), language("Tray", "3")) << i;
            EXPECT_EQ(Text(GetDlgItem(dialog, ids::kLanguageSelectLabel)), language("Tray", "4")) << i;
            EXPECT_EQ(Text(GetDlgItem(dialog, ids::kLanguageApply)), language("Tray", "5")) << i;
            EXPECT_EQ(Text(GetDlgItem(dialog, ids::kLanguageCancel)), language("Tray", "6")) << i;
            EXPECT_EQ(Text(GetDlgItem(dialog, ids::kLanguageTranslator)), language("LANGUAGE", "translator")) << i;
        }
        PickLanguage(dialog, static_cast<int>(german));
        Click(dialog, ids::kLanguageApply);
        const HWND box = program.Box();  // the confirmation speaks the new language
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Text(box), deutsch("Tray", "8"));
        EXPECT_EQ(BoxText(box), deutsch("Tray", "7"));
        EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Language").data, Bytes(L"Deutsch"));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(Header(program.Control(ids::kList), 0), L"Name");  // the running program stays as it was
    }
    // The next start speaks German. (Wine keeps menus inside their process;
    // the Windows tests read them in German.)
    Program program;
    for (int column = 0; column < 14; ++column)
        EXPECT_EQ(Header(program.Control(ids::kList), column), deutsch("Main", std::to_string(19 + column).c_str()));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("new")), kNotepad));
    const HWND alert = program.Window(ids::kAlertClass);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(Text(GetDlgItem(alert, ids::kAlertHeading)), deutsch("Alert", "1"));
    EXPECT_EQ(Text(GetDlgItem(alert, ids::kAlertAllow)), deutsch("Alert", "7"));
    EXPECT_EQ(Text(GetDlgItem(alert, ids::kAlertDelete)), deutsch("Alert", "9"));
}

TEST_F(EndToEnd, EscapeClosesTheLanguageDialogAndTheAboutBoxWithNothingStored) {
    Program program;
    // The build's update server is out of reach here: the check fails quietly,
    // and the window goes on answering.
    program.Command(ids::kCmdUpdate);
    program.Command(ids::kCmdLanguage);
    const HWND dialog = program.Window(ids::kLanguageClass);
    ASSERT_NE(dialog, nullptr);
    PickLanguage(dialog, 0);
    Press(GetDlgItem(dialog, ids::kLanguageList), VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Language").status, ERROR_FILE_NOT_FOUND);

    program.Command(ids::kCmdAbout);
    const HWND about = program.Window(ids::kAboutClass);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Text(about), L"About");
    EXPECT_EQ(Text(GetDlgItem(about, ids::kAboutTitle)), L"Varnek RuvazUv Avuzuza");
    EXPECT_EQ(Text(GetDlgItem(about, ids::kAboutVersionLabel)), L"Version:");
    EXPECT_EQ(Text(GetDlgItem(about, ids::kAboutVersion)), L"2.0");
    // The number follows the word at 40 twips, whatever the word's length.
    RECT label{}, version{};
    ASSERT_TRUE(GetWindowRect(GetDlgItem(about, ids::kAboutVersionLabel), &label));
    ASSERT_TRUE(GetWindowRect(GetDlgItem(about, ids::kAboutVersion), &version));
    const HDC screen = GetDC(nullptr);
    EXPECT_EQ(version.left - label.right, MulDiv(40, GetDeviceCaps(screen, LOGPIXELSX), 1440));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(version.top, label.top);
    Press(GetDlgItem(about, ids::kAboutClose), VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    EXPECT_EQ(program.Find(L"#32770"), nullptr);
}

TEST_F(EndToEnd, HelpOpensTheManualAndSaysSoWhenItIsMissing) {
    {
        Program program;
        program.Command(ids::kCmdHelpFile);
        EXPECT_NE(program.Window(L"HH Parent"), nullptr);
        EXPECT_EQ(program.Find(L"#32770"), nullptr);
    }
    // A copy of the program without its manual beside it.
    const std::wstring copy = Wide(Scratch("dovoviza.exe")), english = L"\\Language\\English.lng";
    ASSERT_TRUE(CopyFileW(g_program.c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryW(Wide(Scratch("Language")).c_str(), nullptr));
    ASSERT_TRUE(CopyFileW((FolderOf(g_program) + english).c_str(), (FolderOf(copy) + english).c_str(), FALSE));
    Program program(copy);
    program.Command(ids::kCmdHelpFile);
    const HWND box = program.Box();
    ASSERT_NE(box, nullptr);
    const Language language(L"English");
    EXPECT_EQ(Text(box), language("Main", "44"));
    EXPECT_EQ(BoxText(box), language("Main", "45"));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
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
