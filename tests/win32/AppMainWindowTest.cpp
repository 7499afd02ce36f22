// The main window and the tray window as Windows builds them, over the real
// registry and Startup folders of the test prefix: what the list, its headers,
// the status bar and the menus show, and what closing, exiting and the two
// start options do.

#include <windows.h>
#include <commctrl.h>
#undef DeleteFile
#undef CopyFile

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "app/Settings.h"
#include "app/WindowIds.h"
#include "app/frmMain.h"
#include "app/frmSysTray.h"
#include "catalogue/Loaders.h"
#include "catalogue/RegistryAccess.h"
#include "platform/Text.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;

namespace {

const std::string& kRun = UserRunKey();
const std::string& kRunDisabled = UserRunDisabledKey();
const std::string kPrefix = "dovoviza-test-window-";
const std::wstring kSettingsKeyW = L"SOFTWARE\\Varnek Ruvazuv Avuzuza";

std::string LanguageFileOf(const std::string& language) {
    std::string path = std::string("Z:") + DOVOVIZA_SOURCE_DIR + "/Language/" + language + ".lng";
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string ListText(HWND list, int row, int column) {
    wchar_t buffer[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(std::size(buffer));
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return Narrow(buffer);
}

std::string HeaderText(HWND list, int column, int* format = nullptr) {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    wchar_t buffer[128] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(std::size(buffer));
    EXPECT_TRUE(SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                             reinterpret_cast<LPARAM>(&item)));
    if (format != nullptr) *format = item.fmt;
    return Narrow(buffer);
}

std::string StatusText(HWND bar, int panel) {
    const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return Narrow(text);
}

std::string MenuText(HMENU menu, int position) {
    wchar_t buffer[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), buffer, static_cast<int>(std::size(buffer)),
                   MF_BYPOSITION);
    return Narrow(buffer);
}

bool Greyed(HMENU menu, int command) {
    const UINT state = GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
}

bool Checked(HWND window, int command) {
    const UINT state = GetMenuState(GetMenu(window), static_cast<UINT>(command), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void Select(HWND list, int row) {
    LVITEMW item{};
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Takes the WM_QUIT that Exit posts off the queue; true when there was one.
bool TakeQuit() {
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return quit;
}

class MainWindowOnWindows : public ::testing::Test {
protected:
    MainWindowOnWindows() {
        // The prefix's own settings and start option come back after the test.
        hadSettingsKey = registry.KeyExists(Hive::LocalMachine, kSettingsKey);
        for (const char* name : kSettingNames) {
            saved.push_back({kSettingsKey, name, ReadRegValue(registry, Hive::LocalMachine, kSettingsKey, name)});
            DeleteRegValue(registry, Hive::LocalMachine, kSettingsKey, name);
        }
        const std::string autostartKey = Autostart(registry, system).KeyPath();
        saved.push_back({autostartKey, kAutostartValue,
                         ReadRegValue(registry, Hive::LocalMachine, autostartKey, kAutostartValue)});
        DeleteRegValue(registry, Hive::LocalMachine, autostartKey, kAutostartValue);
        hadDisabledKey = registry.KeyExists(Hive::CurrentUser, kRunDisabled);
        hadUserDisabledFolder = files.FolderExists(folders.userDisabled);
        hadCommonDisabledFolder = files.FolderExists(folders.commonDisabled);
        CleanUp();
        Run(kRun, "on", "C:\\nowhere\\on.exe /x");
        Run(kRunDisabled, "off", "C:\\nowhere\\off.exe");
    }
    ~MainWindowOnWindows() override {
        window.reset();
        TakeQuit();
        CleanUp();
        for (const Saved& value : saved) {
            if (value.value) {
                EXPECT_TRUE(WriteRegValue(registry, Hive::LocalMachine, value.key, *value.value));
            } else {
                DeleteRegValue(registry, Hive::LocalMachine, value.key, value.name);
            }
        }
        if (!hadSettingsKey) DeleteKeyTree(HKEY_LOCAL_MACHINE, kSettingsKeyW);
        if (!hadDisabledKey) DeleteKeyTree(HKEY_CURRENT_USER, Wide(kRunDisabled));
        if (!hadUserDisabledFolder) RemoveFolder(folders.userDisabled);
        if (!hadCommonDisabledFolder) RemoveFolder(folders.commonDisabled);
    }

    static void RemoveFolder(const std::string& path) {
        SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryW(Wide(path).c_str());
    }

    void CleanUp() {
        DeleteUserRunValuesWithPrefix(registry, kPrefix);
    }

    void Run(const std::string& key, const std::string& name, const std::string& command) {
        ASSERT_TRUE(WriteRegValue(registry, Hive::CurrentUser, key,
                                  RegValue{kPrefix + name, RegType::String, EncodeUtf16LeWithNul(command)}));
    }

    // Builds the window; hidden unless asked.
    void Open(bool show = false, const std::string& language = "English") {
        window = std::make_unique<frmMain>(platform, LanguageFileOf(language), [this] { ++quits; });
        ASSERT_TRUE(window->Create(show));
        main = window->Handle();
        list = GetDlgItem(main, ids::kList);
        status = GetDlgItem(main, ids::kStatusBar);
        ASSERT_NE(list, nullptr);
        ASSERT_NE(status, nullptr);
    }

    int RowCount() const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

    int RowNamed(const std::string& name) const {
        for (int i = 0; i < RowCount(); ++i) {
            if (ListText(list, i, 0) == kPrefix + name) return i;
        }
        return -1;
    }

    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
    Win32VersionReader versions;
    Win32System system;
    Platform platform{registry, files, shell, versions, system};
    Settings settings{registry};
    StartupFolderPaths folders = ResolveStartupFolders(shell);
    struct Saved {
        std::string key;
        std::string name;
        std::optional<RegValue> value;
    };
    static constexpr const char* kSettingNames[] = {"Heigth", "Width", "RunMinimized"};
    std::vector<Saved> saved;
    bool hadSettingsKey = false;
    bool hadDisabledKey = false;
    bool hadUserDisabledFolder = false;
    bool hadCommonDisabledFolder = false;

    std::unique_ptr<frmMain> window;
    HWND main = nullptr;
    HWND list = nullptr;
    HWND status = nullptr;
    int quits = 0;
};

}  // namespace

TEST_F(MainWindowOnWindows, ListsTheEntriesWithHeadersAndCounts) {
    Open();
    EXPECT_FALSE(IsWindowVisible(main));
    wchar_t className[64] = {};
    GetClassNameW(main, className, 64);
    EXPECT_EQ(std::wstring(className), ids::kMainClass);
    EXPECT_EQ(GetText(main), L"Varnek RuvazUv Avuzuza");

    const char* headers[] = {"Name",         "Value",        "Section",  "Status",
                             "Product Name", "Product Description",      "Company",
                             "Version",      "Process Path", "File Size", "Date Created",
                             "Date Accessed", "Date Modified", "Location"};
    for (int i = 0; i < 14; ++i) EXPECT_EQ(HeaderText(list, i), headers[i]) << i;

    const int on = RowNamed("on");
    const int off = RowNamed("off");
    ASSERT_GE(on, 0);
    ASSERT_GE(off, 0);
    EXPECT_EQ(ListText(list, on, 1), "C:\\nowhere\\on.exe /x");
    EXPECT_EQ(ListText(list, on, 2), "Registry -> User Run");
    EXPECT_EQ(ListText(list, on, 3), "");
    EXPECT_EQ(ListText(list, off, 3), "Disabled");

    int disabled = 0;
    for (int i = 0; i < RowCount(); ++i) disabled += ListText(list, i, 3).empty() ? 0 : 1;
    EXPECT_EQ(StatusText(status, 0), "Monitoring startup locations");
    EXPECT_EQ(StatusText(status, 1), "(" + std::to_string(RowCount()) + ") items");
    EXPECT_EQ(StatusText(status, 2), "(" + std::to_string(disabled) + ") disabled");

    // The first run writes the default size, and the window has it.
    EXPECT_EQ(ReadRegString(registry, Hive::LocalMachine, kSettingsKey, "Heigth"), "7950");
    EXPECT_EQ(ReadRegString(registry, Hive::LocalMachine, kSettingsKey, "Width"), "11175");
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(main, &rect));
    const int dpi = SystemDpi();
    EXPECT_EQ(rect.right - rect.left, TwipsToPixels(11175, dpi));
    EXPECT_EQ(rect.bottom - rect.top, TwipsToPixels(7950, dpi));

    MINMAXINFO limits{};
    SendMessageW(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, TwipsToPixels(11175, dpi));
    EXPECT_EQ(limits.ptMinTrackSize.y, TwipsToPixels(7950, dpi));
}

TEST_F(MainWindowOnWindows, MenusReadAsDesignedInTheirLanguageAndAllCanBeUsed) {
    Open();
    const HMENU bar = GetMenu(main);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(MenuText(bar, 0), "File");
    EXPECT_EQ(MenuText(bar, 1), "Options");
    EXPECT_EQ(MenuText(bar, 2), "Help");
    const HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 11);
    EXPECT_EQ(MenuText(file, 0), "New Item");
    EXPECT_EQ(MenuText(file, 10), "Exit");
    for (const int command : {ids::kCmdNewItem, ids::kCmdRefresh, ids::kCmdExit, ids::kCmdRunMinimized,
                              ids::kCmdLanguage, ids::kCmdHelpFile, ids::kCmdUpdate, ids::kCmdAbout}) {
        EXPECT_FALSE(Greyed(bar, command)) << command;
    }
    const HWND toolbar = GetDlgItem(main, ids::kToolbar);
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 10);
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ids::kCmdAbout, 0));
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ids::kCmdDisable, 0));

    window.reset();
    Open(false, "Deutsch");
    const LanguageFile german = LanguageFile::Load(files, system, LanguageFileOf("Deutsch"));
    const HMENU germanBar = GetMenu(main);
    EXPECT_EQ(MenuText(germanBar, 0), german.Get("Main", "1"));
    EXPECT_EQ(MenuText(germanBar, 1), german.Get("Main", "10"));
    EXPECT_EQ(MenuText(germanBar, 2), german.Get("Main", "14"));
    EXPECT_EQ(MenuText(GetSubMenu(germanBar, 0), 0), german.Get("Main", "2"));
    EXPECT_EQ(MenuText(GetSubMenu(germanBar, 1), 0), german.Get("Main", "11"));
}

TEST_F(MainWindowOnWindows, SelectedRowDecidesTheFileMenusDisableAndEnable) {
    Open();
    const HMENU file = GetSubMenu(GetMenu(main), 0);
    const int on = RowNamed("on");
    const int off = RowNamed("off");
    ASSERT_GE(on, 0);
    ASSERT_GE(off, 0);

    Select(list, off);
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_TRUE(Greyed(file, ids::kCmdDisable));
    EXPECT_FALSE(Greyed(file, ids::kCmdEnable));

    Select(list, on);
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_FALSE(Greyed(file, ids::kCmdDisable));
    EXPECT_TRUE(Greyed(file, ids::kCmdEnable));

    // Nothing selected: the items stay as the last selection left them.
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_FALSE(Greyed(file, ids::kCmdDisable));
    EXPECT_TRUE(Greyed(file, ids::kCmdEnable));
}

TEST_F(MainWindowOnWindows, DisableFromTheMenuMovesTheSelectedEntryAndRecounts) {
    Open();
    const int on = RowNamed("on");
    ASSERT_GE(on, 0);
    Select(list, on);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdDisable, 0), 0);

    EXPECT_FALSE(ReadRegValue(registry, Hive::CurrentUser, kRun, kPrefix + "on"));
    EXPECT_TRUE(ReadRegValue(registry, Hive::CurrentUser, kRunDisabled, kPrefix + "on"));
    EXPECT_EQ(ListText(list, on, 3), "Disabled");
    int disabled = 0;
    for (int i = 0; i < RowCount(); ++i) disabled += ListText(list, i, 3).empty() ? 0 : 1;
    EXPECT_EQ(StatusText(status, 2), "(" + std::to_string(disabled) + ") disabled");
}

TEST_F(MainWindowOnWindows, HeaderClickSortsAndShowsTheArrow) {
    Run(kRun, "Zulu", "C:\\nowhere\\z.exe");
    Run(kRun, "alpha", "C:\\nowhere\\a.exe");
    Open();
    const int selectedBefore = RowNamed("off");
    ASSERT_GE(selectedBefore, 0);
    Select(list, selectedBefore);

    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = ids::kList;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = 0;
    SendMessageW(main, WM_NOTIFY, ids::kList, reinterpret_cast<LPARAM>(&click));

    std::vector<std::string> names;
    for (int i = 0; i < RowCount(); ++i) names.push_back(system.ToUpper(ListText(list, i, 0)));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_LT(RowNamed("alpha"), RowNamed("Zulu"));
    int format = 0;
    HeaderText(list, 0, &format);
    EXPECT_TRUE(format & HDF_SORTUP);
    // The selection follows its entry to the new place.
    const LRESULT selected = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    EXPECT_EQ(selected, RowNamed("off"));

    SendMessageW(main, WM_NOTIFY, ids::kList, reinterpret_cast<LPARAM>(&click));
    HeaderText(list, 0, &format);
    EXPECT_TRUE(format & HDF_SORTDOWN);
    EXPECT_FALSE(format & HDF_SORTUP);
    EXPECT_GT(RowNamed("alpha"), RowNamed("Zulu"));
}

TEST_F(MainWindowOnWindows, StartOptionsFollowTheirClicks) {
    settings.SetRunMinimized(true);
    Open();
    EXPECT_TRUE(Checked(main, ids::kCmdRunMinimized));
    EXPECT_FALSE(Checked(main, ids::kCmdRunWithWindows));

    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdRunMinimized, 0), 0);
    EXPECT_FALSE(Checked(main, ids::kCmdRunMinimized));
    EXPECT_EQ(ReadRegString(registry, Hive::LocalMachine, kSettingsKey, "RunMinimized"), "False");

    const std::string self = system.ProgramFolder() + "\\" + system.ProgramName() + ".exe";
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdRunWithWindows, 0), 0);
    EXPECT_TRUE(Checked(main, ids::kCmdRunWithWindows));
    EXPECT_EQ(ReadRegString(registry, Hive::LocalMachine, Autostart(registry, system).KeyPath(),
                            kAutostartValue),
              self);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdRunWithWindows, 0), 0);
    EXPECT_FALSE(Checked(main, ids::kCmdRunWithWindows));
    EXPECT_FALSE(ReadRegValue(registry, Hive::LocalMachine, Autostart(registry, system).KeyPath(),
                              kAutostartValue));
}

TEST_F(MainWindowOnWindows, CloseHidesExitSavesTheSizeAndQuits) {
    Open(true);
    EXPECT_TRUE(IsWindowVisible(main));
    const int dpi = SystemDpi();
    ASSERT_TRUE(SetWindowPos(main, nullptr, 0, 0, TwipsToPixels(13500, dpi), TwipsToPixels(9000, dpi),
                             SWP_NOMOVE | SWP_NOZORDER));

    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(quits, 0);
    EXPECT_FALSE(TakeQuit());
    // Not yet saved: still the first run's size.
    EXPECT_EQ(ReadRegString(registry, Hive::LocalMachine, kSettingsKey, "Width"), "11175");

    window->ShowFromTray();
    EXPECT_TRUE(IsWindowVisible(main));

    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdExit, 0), 0);
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(TakeQuit());
    EXPECT_EQ(ReadRegString(registry, Hive::LocalMachine, kSettingsKey, "Width"),
              std::to_string(PixelsToTwips(TwipsToPixels(13500, dpi), dpi)));
    EXPECT_EQ(ReadRegString(registry, Hive::LocalMachine, kSettingsKey, "Heigth"),
              std::to_string(PixelsToTwips(TwipsToPixels(9000, dpi), dpi)));
}

TEST_F(MainWindowOnWindows, TooSmallSavedSizeOpensAtTheSmallestSize) {
    settings.SaveSize(1000, 2000);
    Open();
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(main, &rect));
    const int dpi = SystemDpi();
    EXPECT_EQ(rect.right - rect.left, TwipsToPixels(11175, dpi));
    EXPECT_EQ(rect.bottom - rect.top, TwipsToPixels(7950, dpi));
}

TEST(TrayWindowOnWindows, HiddenWindowWhoseClicksOpenTheMainWindow) {
    Win32FileSystem files;
    Win32System system;
    const LanguageFile language = LanguageFile::Load(files, system, LanguageFileOf("English"));
    int opened = 0;
    int exited = 0;
    frmSysTray tray;
    ASSERT_TRUE(tray.Create(language, [&] { ++opened; }, [&] { ++exited; }));
    const HWND window = tray.Handle();
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_EQ(std::wstring(className), ids::kTrayClass);
    EXPECT_FALSE(IsWindowVisible(window));

    SendMessageW(window, frmSysTray::kIconMessage, 1, WM_LBUTTONUP);
    EXPECT_EQ(opened, 1);
    SendMessageW(window, frmSysTray::kIconMessage, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(opened, 2);
    SendMessageW(window, frmSysTray::kIconMessage, 1, WM_MOUSEMOVE);
    SendMessageW(window, frmSysTray::kIconMessage, 1, WM_LBUTTONDOWN);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(exited, 0);
}
