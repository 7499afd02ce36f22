// The main window and the tray window as Windows builds them, over the real
// registry of the prefix: menus in the chosen language, what the selection
// allows, sorting, the start options, the window's size, closing and exiting.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "WinTest.h"
#include "app/AppTables.h"
#include "app/Settings.h"
#include "app/frmMain.h"
#include "app/frmSysTray.h"
#include "catalogue/Loaders.h"
#include "platform/Text.h"
#include "platform/win32/Win32ChangeWatcher.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace wintest;

namespace {

std::string MenuText(HMENU menu, int position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return Narrow(text);
}

bool Has(HMENU menu, int command, UINT flag) {
    const UINT state = GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & flag);
}

// The main window with its parts made as the process entry makes them.
struct MainWindowWorld {
    MainWindowWorld(const Platform& platform, const std::string& languageFile, std::function<void()> quit)
        : texts(platform.files, platform.system, languageFile),
          fileInfo(platform.versions, &platform.files),
          settings(platform.registry),
          autostart(platform.registry, platform.system),
          list(platform, fileInfo, texts, icons, Folders(platform)),
          window(MainWindowParts{platform, texts, fileInfo, icons, prompt, http, settings, autostart, list, watcher},
                 std::move(quit)) {}
    static StartupFolderPaths Folders(const Platform& platform) {
        StartupFolderPaths folders = ResolveStartupFolders(platform.shell);
        PrepareDisabledFolders(platform.files, folders);
        return folders;
    }

    LanguageTexts texts;
    FileInfoClass fileInfo;
    ShellIconList icons{IconSize::Small};
    MessageBoxPrompt prompt;
    Win32HttpClient http{kHttpAnswerMessage};
    Win32ChangeWatcher watcher;
    Settings settings;
    Autostart autostart;
    MainList list;
    frmMain window;
};

class MainWindow : public PrefixTest {
protected:
    void SetUp() override {
        PrefixTest::SetUp();
        ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("on")), L"C:\\nowhere\\on.exe"));
        ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRunDisabled, Wide(Named("off")), L"C:\\nowhere\\off.exe"));
    }
    void TearDown() override {
        world.reset();
        MSG message;  // takes the WM_QUIT that Exit posts off the queue
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        PrefixTest::TearDown();
    }
    void Open(bool show = false, const std::string& language = "English") {
        world.reset();
        world = std::make_unique<MainWindowWorld>(platform, SourcePath("Language/" + language + ".lng"),
                                                  [this] { ++quits; });
        ASSERT_TRUE(world->window.Create(show));
        main = world->window.Handle();
        list = GetDlgItem(main, ids::kList);
    }
    int Rows() const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int row, int column) const {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return Narrow(text);
    }
    int Row(const std::string& name) const {
        for (int i = 0; i < Rows(); ++i)
            if (Cell(i, 0) == Named(name)) return i;
        return -1;
    }
    void Select(int row, bool selected = true) const {
        LVITEMW item{};
        item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    int SortArrow() const {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMW, 0,
                     reinterpret_cast<LPARAM>(&item));
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }
    void Command(int command) const { SendMessageW(main, WM_COMMAND, MAKEWPARAM(command, 0), 0); }
    static std::string Setting(const char* name) {
        const Raw raw = GetRaw(HKEY_LOCAL_MACHINE, kSettings, Wide(name));
        if (raw.status != ERROR_SUCCESS || raw.type != REG_SZ) return "<missing>";
        return Narrow(std::wstring(reinterpret_cast<const wchar_t*>(raw.data.data()), raw.data.size() / 2).c_str());
    }
    SIZE Size() const {
        RECT rect{};
        GetWindowRect(main, &rect);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }
    static SIZE Twips(int width, int height) { return {TwipsToPixels(width, SystemDpi()), TwipsToPixels(height, SystemDpi())}; }

    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
    Win32VersionReader versions;
    Win32System system;
    Platform platform{registry, files, shell, versions, system};
    std::unique_ptr<MainWindowWorld> world;
    HWND main = nullptr, list = nullptr;
    int quits = 0;
};

bool operator==(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

TEST_F(MainWindow, MenusAndToolbarAreBuiltInTheChosenLanguageAndUsable) {
    Open(false, "Deutsch");
    const LanguageFile german = LanguageFile::Load(files, system, SourcePath("Language/Deutsch.lng"));
    const HMENU bar = GetMenu(main);
    ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(kMainMenuBar.size()));
    for (std::size_t i = 0; i < kMainMenuBar.size(); ++i) {
        const MenuBarMenu& menu = kMainMenuBar[i];
        const HMENU sub = GetSubMenu(bar, static_cast<int>(i));
        EXPECT_EQ(MenuText(bar, static_cast<int>(i)), german.Get(menu.title));
        ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(menu.items.size())) << i;
        EXPECT_EQ(MenuText(sub, 0), german.Get(menu.items[0].text)) << i;
    }
    for (const int command : {ids::kCmdNewItem, ids::kCmdRefresh, ids::kCmdExit, ids::kCmdRunMinimized,
                              ids::kCmdLanguage, ids::kCmdHelpFile, ids::kCmdUpdate, ids::kCmdAbout})
        EXPECT_FALSE(Has(bar, command, MF_GRAYED)) << command;
    const HWND toolbar = GetDlgItem(main, ids::kToolbar);
    EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 10);
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ids::kCmdAbout, 0));
}

TEST_F(MainWindow, TheSelectedRowDecidesBetweenDisableAndEnable) {
    Open();
    const HMENU file = GetSubMenu(GetMenu(main), 0);
    // The last selection decides; with nothing selected the items stay as they were.
    const struct { int row; bool select, disableGreyed; } steps[] = {
        {Row("off"), true, true}, {Row("on"), true, false}, {-1, false, false}};
    for (const auto& step : steps) {
        ASSERT_TRUE(step.row >= 0 || !step.select);
        Select(step.row, step.select);
        SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
        EXPECT_EQ(Has(file, ids::kCmdDisable, MF_GRAYED), step.disableGreyed) << step.row;
        EXPECT_EQ(Has(file, ids::kCmdEnable, MF_GRAYED), !step.disableGreyed) << step.row;
    }
    Select(Row("on"));
    Command(ids::kCmdDisable);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, kRun, Wide(Named("on"))).status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, kRunDisabled, Wide(Named("on"))).status, ERROR_SUCCESS);
    EXPECT_EQ(Cell(Row("on"), 3), "Disabled");
}

TEST_F(MainWindow, HeaderClicksSortBothWaysShowTheArrowAndKeepTheSelection) {
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("Zulu")), L"z.exe"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("alpha")), L"a.exe"));
    Open();
    Select(Row("off"));
    NMLISTVIEW click{};
    click.hdr = {list, static_cast<UINT_PTR>(ids::kList), static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iItem = -1;
    for (const int arrow : {HDF_SORTUP, HDF_SORTDOWN}) {
        SendMessageW(main, WM_NOTIFY, ids::kList, reinterpret_cast<LPARAM>(&click));
        std::vector<std::string> names;
        for (int i = 0; i < Rows(); ++i) names.push_back(system.ToUpper(Cell(i, 0)));
        if (arrow == HDF_SORTDOWN) std::reverse(names.begin(), names.end());
        EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
        EXPECT_EQ(Row("alpha") < Row("Zulu"), arrow == HDF_SORTUP);
        EXPECT_EQ(SortArrow(), arrow);
        EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), Row("off"));
    }
}

TEST_F(MainWindow, StartOptionsFollowTheirClicks) {
    Settings(registry).SetRunMinimized(true);
    Open();
    const HMENU bar = GetMenu(main);
    EXPECT_TRUE(Has(bar, ids::kCmdRunMinimized, MF_CHECKED));
    Command(ids::kCmdRunMinimized);
    EXPECT_FALSE(Has(bar, ids::kCmdRunMinimized, MF_CHECKED));
    EXPECT_EQ(Setting("RunMinimized"), "False");

    // A 32-bit program on 64-bit Windows starts from the WOW64 twin of the machine's Run key.
    const std::wstring run = std::wstring(system.IsWow64() ? L"Software\\Wow6432Node\\" : L"Software\\") +
                             L"Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring self = Wide(system.ProgramFolder() + "\\" + system.ProgramName() + ".exe");
    EXPECT_FALSE(Has(bar, ids::kCmdRunWithWindows, MF_CHECKED));
    Command(ids::kCmdRunWithWindows);
    EXPECT_TRUE(Has(bar, ids::kCmdRunWithWindows, MF_CHECKED));
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, run, L"Varnek RuvazUv Avuzuza").data, Bytes(self));
    Command(ids::kCmdRunWithWindows);
    EXPECT_FALSE(Has(bar, ids::kCmdRunWithWindows, MF_CHECKED));
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, run, L"Varnek RuvazUv Avuzuza").status, ERROR_FILE_NOT_FOUND);
}

TEST_F(MainWindow, TheSizeStartsAtTheSmallestCloseHidesAndExitSavesTheSize) {
    Open();  // the first run writes the default size, which is also the smallest
    EXPECT_EQ(Setting("Heigth") + " " + Setting("Width"), "7950 11175");
    Settings(registry).SaveSize(1000, 2000);  // below the smallest: opens at the smallest
    Open(true);
    EXPECT_TRUE(Size() == Twips(11175, 7950));
    MINMAXINFO limits{};
    SendMessageW(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_TRUE(limits.ptMinTrackSize.x == Twips(11175, 7950).cx && limits.ptMinTrackSize.y == Twips(11175, 7950).cy);

    ASSERT_TRUE(SetWindowPos(main, nullptr, 0, 0, Twips(13500, 9000).cx, Twips(13500, 9000).cy, SWP_NOMOVE | SWP_NOZORDER));
    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(main) && !IsWindowVisible(main));
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(Setting("Width"), "2000");  // not saved yet
    world->window.ShowFromTray();
    EXPECT_TRUE(IsWindowVisible(main));
    Command(ids::kCmdExit);
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(Setting("Width"), std::to_string(PixelsToTwips(Twips(13500, 9000).cx, SystemDpi())));
    EXPECT_EQ(Setting("Heigth"), std::to_string(PixelsToTwips(Twips(13500, 9000).cy, SystemDpi())));
}

TEST_F(MainWindow, TheTrayWindowIsHiddenAndItsClicksOpenTheMainWindow) {
    int opened = 0, exited = 0;
    frmSysTray tray;
    ASSERT_TRUE(tray.Create(LanguageFile::Load(files, system, SourcePath("Language/English.lng")),
                            [&] { ++opened; }, [&] { ++exited; }));
    EXPECT_FALSE(IsWindowVisible(tray.Handle()));
    for (const UINT mouse : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_LBUTTONDOWN})
        SendMessageW(tray.Handle(), frmSysTray::kIconMessage, 1, mouse);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(exited, 0);
}

}  // namespace
