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

#include "RemoteWindow.h"
#include "app/WindowIds.h"

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
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<FoundWindow*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (owner == s->pid && lstrcmpW(name, s->className) == 0) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessWindow(DWORD pid, const wchar_t* className) {
    FoundWindow search{pid, className, nullptr};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

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

// One run of the program, ended when the object goes.
class Program {
public:
    bool Start() {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + g_program + L"\"";
        return CreateProcessW(g_program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process_) != FALSE;
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
    // The main window exists hidden while it loads; it is ready once shown.
    HWND Main() const {
        const HWND main = Window(ids::kMainClass, 30000);
        if (main != nullptr) WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 10000);
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
        for (const wchar_t* name : {L"dovoviza-e2e-seeded", L"dovoviza-e2e-new", L"dovoviza-e2e-back"}) {
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
    Sleep(500);

    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, L"dovoviza-e2e-new", kNotepad));
    const DWORD written = GetTickCount();
    // Like the main window, an alert exists before it is filled and shown.
    const HWND alert = program.Window(ids::kAlertClass, 6000);
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(alert) != FALSE; }, 6000));
    const DWORD seen = GetTickCount() - written;
    EXPECT_LE(seen, 3000u) << "the alert took " << seen << " ms";
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
    Sleep(500);

    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, L"dovoviza-e2e-back", kNotepad));
    EXPECT_TRUE(WaitFor([] { return !GetString(HKEY_CURRENT_USER, kRun, L"dovoviza-e2e-back"); }, 3000));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kRunDisabled, L"dovoviza-e2e-back"), kNotepad);
    Sleep(2500);  // one more tick: still nothing to report
    EXPECT_EQ(program.Window(ids::kAlertClass), nullptr);
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
