// The main window and the tray window as Windows builds them, over the real
// registry of the prefix: menus and headers in the chosen language, what the
// selection allows, the start options, the window's size, closing and exiting.

#include "WinTest.h"

#include <commctrl.h>

#include "app/AppTables.h"
#include "app/frmMain.h"
#include "app/frmSysTray.h"
#include "catalogue/Loaders.h"
#include "platform/win32/Win32ChangeWatcher.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace wintest;

namespace {

// The main window with its parts made as the process entry makes them.
struct World {
    World(const Platform& platform, const std::string& language, std::function<void()> quit)
        : texts(platform.files, platform.system, SourcePath("Language/" + language + ".lng")),
          fileInfo(platform.versions, &platform.files),
          settings(platform.registry),
          autostart(platform.registry, platform.system),
          list(platform, fileInfo, texts, icons, Folders(platform)),
          window({platform, texts, fileInfo, icons, prompt, http, settings, autostart, list, watcher},
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
    void TearDown() override {
        world.reset();
        MSG message;  // takes the WM_QUIT that Exit posts off the queue
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        PrefixTest::TearDown();
    }
    void Open(bool show = false, const std::string& language = "English") {
        world.reset();
        world = std::make_unique<World>(platform, language, [this] { ++quits; });
        ASSERT_TRUE(world->window.Create(show));
        main = world->window.Handle();
        list = GetDlgItem(main, ids::kList);
        bar = GetMenu(main);
    }
    int Row(const std::string& name) const {
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            wchar_t text[512] = {};
            ListView_GetItemText(list, row, 0, text, 512);
            if (Narrow(text) == Named(name)) return row;
        }
        return -1;
    }
    void Select(int row, bool on = true) const {
        ListView_SetItemState(list, row, on ? LVIS_SELECTED | LVIS_FOCUSED : 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    bool Has(int command, UINT flag, HMENU menu = nullptr) const {
        const UINT state = GetMenuState(menu ? menu : bar, static_cast<UINT>(command), MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & flag);
    }
    void Command(int command) const { SendMessageW(main, WM_COMMAND, MAKEWPARAM(command, 0), 0); }
    static std::string Setting(const char* name) {
        const Raw raw = GetRaw(HKEY_LOCAL_MACHINE, kSettings, Wide(name));
        return raw.type == REG_SZ ? Narrow(reinterpret_cast<const wchar_t*>(raw.data.data())) : "-";
    }
    static std::pair<LONG, LONG> Px(int width, int height) {
        return {TwipsToPixels(width, SystemDpi()), TwipsToPixels(height, SystemDpi())};
    }

    std::unique_ptr<World> world;
    HWND main = nullptr, list = nullptr;
    HMENU bar = nullptr;
    int quits = 0;
};

TEST_F(MainWindow, MenusHeadersToolbarAndTrayAreBuiltInTheChosenLanguageAndUsable) {
    Open(false, "Deutsch");
    const LanguageFile german = LanguageFile::Load(files, system, SourcePath("Language/Deutsch.lng"));
    ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(kMainMenuBar.size()));
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        const MenuBarMenu& menu = kMainMenuBar[static_cast<std::size_t>(i)];
        wchar_t title[128] = {}, first[128] = {};
        GetMenuStringW(bar, static_cast<UINT>(i), title, 128, MF_BYPOSITION);
        GetMenuStringW(GetSubMenu(bar, i), 0, first, 128, MF_BYPOSITION);
        EXPECT_EQ(Narrow(title) + "|" + Narrow(first) + std::to_string(GetMenuItemCount(GetSubMenu(bar, i))),
                  german.Get(menu.title) + "|" + german.Get(menu.items[0].text) +
                      std::to_string(menu.items.size()));
    }
    for (int column = 0; column < 14; ++column) {
        wchar_t text[128] = {};
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT;
        header.pszText = text;
        header.cchTextMax = 128;
        ListView_GetColumn(list, column, &header);
        EXPECT_EQ(Narrow(text), german.Get("Main", std::to_string(19 + column))) << column;
    }
    for (const int command : {ids::kCmdNewItem, ids::kCmdRefresh, ids::kCmdExit, ids::kCmdRunMinimized,
                              ids::kCmdLanguage, ids::kCmdHelpFile, ids::kCmdUpdate, ids::kCmdAbout})
        EXPECT_FALSE(Has(command, MF_GRAYED)) << command;
    const HWND toolbar = GetDlgItem(main, ids::kToolbar);
    EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 10);
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ids::kCmdAbout, 0));

    int opened = 0, exited = 0;  // the tray's window is hidden; a click or a double click opens
    frmSysTray tray;
    ASSERT_TRUE(tray.Create(german, [&] { ++opened; }, [&] { ++exited; }));
    EXPECT_FALSE(IsWindowVisible(tray.Handle()));
    for (const UINT mouse : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_LBUTTONDOWN})
        SendMessageW(tray.Handle(), frmSysTray::kIconMessage, 1, mouse);
    EXPECT_EQ(opened * 10 + exited, 20);
}

TEST_F(MainWindow, TheSelectionDecidesBetweenDisableAndEnableAndStartOptionsFollowClicks) {
    ASSERT_TRUE(Put("on", L"C:\\nowhere\\on.exe") && Put("off", L"C:\\x\\off.exe", kRunDisabled));
    Settings(registry).SetRunMinimized(true);
    Open();
    const HMENU file = GetSubMenu(bar, 0);
    // The last selection decides; with nothing selected the items stay as they were.
    for (const auto& [row, on, disableGreyed] : {std::tuple{Row("off"), true, true},
                                                 {Row("on"), true, false}, {-1, false, false}}) {
        Select(row, on);
        SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
        EXPECT_EQ(Has(ids::kCmdDisable, MF_GRAYED, file), disableGreyed) << row;
        EXPECT_EQ(Has(ids::kCmdEnable, MF_GRAYED, file), !disableGreyed) << row;
    }
    Select(Row("on"));
    Command(ids::kCmdDisable);
    EXPECT_TRUE(Get("on").status == ERROR_FILE_NOT_FOUND && Get("on", kRunDisabled).status == 0);
    wchar_t status[64] = {};
    ListView_GetItemText(list, Row("on"), 3, status, 64);
    EXPECT_EQ(Narrow(status), "Disabled");

    EXPECT_TRUE(Has(ids::kCmdRunMinimized, MF_CHECKED));
    Command(ids::kCmdRunMinimized);
    EXPECT_FALSE(Has(ids::kCmdRunMinimized, MF_CHECKED));
    EXPECT_EQ(Setting("RunMinimized"), "False");
    // A 32-bit program on 64-bit Windows starts from the WOW64 twin of the machine's Run key.
    const std::wstring run = std::wstring(system.IsWow64() ? L"Software\\Wow6432Node\\" : L"Software\\") +
                             L"Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring self = Wide(system.ProgramFolder() + "\\" + system.ProgramName() + ".exe");
    for (const bool on : {true, false}) {
        EXPECT_NE(Has(ids::kCmdRunWithWindows, MF_CHECKED), on);
        Command(ids::kCmdRunWithWindows);
        EXPECT_EQ(Has(ids::kCmdRunWithWindows, MF_CHECKED), on);
        const Raw value = GetRaw(HKEY_LOCAL_MACHINE, run, L"Varnek RuvazUv Avuzuza");
        EXPECT_TRUE(on ? value.data == Bytes(self) : value.status == ERROR_FILE_NOT_FOUND);
    }
}

TEST_F(MainWindow, TheSizeStartsAtTheSmallestCloseHidesAndExitSavesTheSize) {
    Open();  // the first run writes the default size, which is also the smallest
    EXPECT_EQ(Setting("Heigth") + " " + Setting("Width"), "7950 11175");
    Settings(registry).SaveSize(1000, 2000);  // below the smallest: opens at the smallest
    Open(true);
    RECT rect{};
    MINMAXINFO limits{};
    GetWindowRect(main, &rect);
    SendMessageW(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(std::pair(rect.right - rect.left, rect.bottom - rect.top), Px(11175, 7950));
    EXPECT_EQ(std::pair(limits.ptMinTrackSize.x, limits.ptMinTrackSize.y), Px(11175, 7950));
    const auto [width, height] = Px(13500, 9000);
    ASSERT_TRUE(SetWindowPos(main, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER));
    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(main) && !IsWindowVisible(main) && quits == 0);
    EXPECT_EQ(Setting("Width"), "2000");  // not saved yet
    world->window.ShowFromTray();
    EXPECT_TRUE(IsWindowVisible(main));
    Command(ids::kCmdExit);
    EXPECT_EQ(quits, 1);
    const auto twips = [](LONG pixels) { return std::to_string(PixelsToTwips(pixels, SystemDpi())); };
    EXPECT_EQ(Setting("Width") + " " + Setting("Heigth"), twips(width) + " " + twips(height));
}

}  // namespace
