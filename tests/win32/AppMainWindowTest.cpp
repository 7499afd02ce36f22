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
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "app/AppTables.h"
#include "app/Settings.h"
#include "app/WindowIds.h"
#include "app/frmMain.h"
#include "app/frmSysTray.h"
#include "catalogue/Loaders.h"
#include "catalogue/RegistryAccess.h"
#include "platform/Text.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;

namespace {

const std::string& kRun = UserRunKey();
const std::string& kRunDisabled = UserRunDisabledKey();

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

bool HasState(HMENU menu, int command, UINT flag) {
    const UINT state = GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & flag) != 0;
}

void Select(HWND list, int row, bool selected = true) {
    LVITEMW item{};
    item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
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

// The main window with its parts made as the process entry makes them.
struct MainWindowWorld {
    MainWindowWorld(const Platform& platform, const std::string& languageFile, std::function<void()> quit)
        : texts(platform.files, platform.system, languageFile),
          fileInfo(platform.versions, &platform.files),
          settings(platform.registry),
          autostart(platform.registry, platform.system),
          list(platform, fileInfo, texts, icons, Folders(platform)),
          window(MainWindowParts{platform, texts, fileInfo, icons, prompt, http, settings, autostart, list},
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
    Settings settings;
    Autostart autostart;
    MainList list;
    frmMain window;
};

class MainWindowOnWindows : public ::testing::Test {
protected:
    MainWindowOnWindows() {
        // The prefix's own settings and start option come back after the test.
        hadSettingsKey = registry.KeyExists(Hive::LocalMachine, kSettingsKey);
        for (const char* name : {"Heigth", "Width", "RunMinimized"}) Save(kSettingsKey, name);
        Save(Autostart(registry, system).KeyPath(), kAutostartValue);
        Run(kRun, "on", "C:\\nowhere\\on.exe /x");
        Run(kRunDisabled, "off", "C:\\nowhere\\off.exe");
    }
    ~MainWindowOnWindows() override {
        world.reset();
        TakeQuit();
        for (const Saved& value : saved) {
            if (value.value) {
                EXPECT_TRUE(WriteRegValue(registry, Hive::LocalMachine, value.key, *value.value));
            } else {
                DeleteRegValue(registry, Hive::LocalMachine, value.key, value.name);
            }
        }
        if (!hadSettingsKey) DeleteKeyTree(HKEY_LOCAL_MACHINE, Wide(kSettingsKey));
    }

    void Save(const std::string& key, const std::string& name) {
        saved.push_back({key, name, ReadRegValue(registry, Hive::LocalMachine, key, name)});
        DeleteRegValue(registry, Hive::LocalMachine, key, name);
    }
    void Run(const std::string& key, const std::string& name, const std::string& command) {
        ASSERT_TRUE(WriteRegValue(registry, Hive::CurrentUser, key,
                                  RegValue{box.prefix + name, RegType::String, EncodeUtf16LeWithNul(command)}));
    }

    // Builds the window; hidden unless asked.
    void Open(bool show = false, const std::string& language = "English") {
        world.reset();
        world = std::make_unique<MainWindowWorld>(platform, LanguageFileOf(language), [this] { ++quits; });
        ASSERT_TRUE(world->window.Create(show));
        main = world->window.Handle();
        list = GetDlgItem(main, ids::kList);
        status = GetDlgItem(main, ids::kStatusBar);
        ASSERT_NE(list, nullptr);
        ASSERT_NE(status, nullptr);
    }

    int RowCount() const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    int RowNamed(const std::string& name) const {
        for (int i = 0; i < RowCount(); ++i) {
            if (ListText(list, i, 0) == box.prefix + name) return i;
        }
        return -1;
    }
    // The status bar's count of disabled rows agrees with the list.
    void ExpectDisabledCount() const {
        int disabled = 0;
        for (int i = 0; i < RowCount(); ++i) disabled += ListText(list, i, 3).empty() ? 0 : 1;
        EXPECT_EQ(StatusText(status, 2), "(" + std::to_string(disabled) + ") disabled");
    }
    void ExpectWindowSize(int widthTwips, int heightTwips) const {
        RECT rect{};
        ASSERT_TRUE(GetWindowRect(main, &rect));
        EXPECT_EQ(rect.right - rect.left, TwipsToPixels(widthTwips, SystemDpi()));
        EXPECT_EQ(rect.bottom - rect.top, TwipsToPixels(heightTwips, SystemDpi()));
    }
    std::string Setting(const std::string& name) {
        return ReadRegString(registry, Hive::LocalMachine, kSettingsKey, name);
    }

    UserStartupSandbox box{"dovoviza-test-window-"};
    Win32Registry& registry = box.registry;
    Win32VersionReader versions;
    Win32System system;
    Platform platform{registry, box.files, box.shell, versions, system};
    Settings settings{registry};
    struct Saved {
        std::string key;
        std::string name;
        std::optional<RegValue> value;
    };
    std::vector<Saved> saved;
    bool hadSettingsKey = false;

    std::unique_ptr<MainWindowWorld> world;
    HWND main = nullptr;
    HWND list = nullptr;
    HWND status = nullptr;
    int quits = 0;
};

}  // namespace

TEST_F(MainWindowOnWindows, ListsTheEntriesWithHeadersCountsAndTheFirstRunSize) {
    Open();
    EXPECT_FALSE(IsWindowVisible(main));
    wchar_t className[64] = {};
    GetClassNameW(main, className, 64);
    EXPECT_EQ(std::wstring(className), ids::kMainClass);
    EXPECT_EQ(GetText(main), L"Varnek RuvazUv Avuzuza");

    const LanguageFile english = LanguageFile::Load(box.files, system, LanguageFileOf("English"));
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        const TextKey& text = kColumnHeaderTexts[i];
        EXPECT_EQ(HeaderText(list, static_cast<int>(i)), english.Get(text)) << i;
    }
    const int on = RowNamed("on");
    const int off = RowNamed("off");
    ASSERT_GE(on, 0);
    ASSERT_GE(off, 0);
    EXPECT_EQ(ListText(list, on, 1), "C:\\nowhere\\on.exe /x");
    EXPECT_EQ(ListText(list, on, 2), "Registry -> User Run");
    EXPECT_EQ(ListText(list, on, 3), "");
    EXPECT_EQ(ListText(list, off, 3), "Disabled");
    EXPECT_EQ(StatusText(status, 0), "Monitoring startup locations");
    EXPECT_EQ(StatusText(status, 1), "(" + std::to_string(RowCount()) + ") items");
    ExpectDisabledCount();

    // The first run writes the default size, which is also the smallest the window takes.
    EXPECT_EQ(Setting("Heigth"), "7950");
    EXPECT_EQ(Setting("Width"), "11175");
    ExpectWindowSize(11175, 7950);
    MINMAXINFO limits{};
    SendMessageW(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, TwipsToPixels(11175, SystemDpi()));
    EXPECT_EQ(limits.ptMinTrackSize.y, TwipsToPixels(7950, SystemDpi()));

    // A saved size below the smallest opens at the smallest.
    settings.SaveSize(1000, 2000);
    Open();
    ExpectWindowSize(11175, 7950);
}

TEST_F(MainWindowOnWindows, MenusAndToolbarAreBuiltInTheChosenLanguageAndUsable) {
    Open(false, "Deutsch");
    const LanguageFile german = LanguageFile::Load(box.files, system, LanguageFileOf("Deutsch"));
    const HMENU bar = GetMenu(main);
    ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(kMainMenuBar.size()));
    for (std::size_t i = 0; i < kMainMenuBar.size(); ++i) {
        const MenuBarMenu& menu = kMainMenuBar[i];
        const HMENU sub = GetSubMenu(bar, static_cast<int>(i));
        EXPECT_EQ(MenuText(bar, static_cast<int>(i)), german.Get(menu.title));
        ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(menu.items.size())) << i;
        const TextKey& first = menu.items[0].text;
        EXPECT_EQ(MenuText(sub, 0), german.Get(first)) << i;
    }
    for (const int command : {ids::kCmdNewItem, ids::kCmdRefresh, ids::kCmdExit, ids::kCmdRunMinimized,
                              ids::kCmdLanguage, ids::kCmdHelpFile, ids::kCmdUpdate, ids::kCmdAbout}) {
        EXPECT_FALSE(HasState(bar, command, MF_GRAYED)) << command;
    }
    const HWND toolbar = GetDlgItem(main, ids::kToolbar);
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 10);
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ids::kCmdAbout, 0));
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ids::kCmdDisable, 0));
}

TEST_F(MainWindowOnWindows, SelectedRowDecidesDisableAndEnableAndDisableMovesIt) {
    Open();
    const HMENU file = GetSubMenu(GetMenu(main), 0);
    const int on = RowNamed("on");
    const int off = RowNamed("off");
    ASSERT_GE(on, 0);
    ASSERT_GE(off, 0);
    // The last selection decides; with nothing selected the items stay as they were.
    const struct {
        int row;
        bool select;
        bool disableGreyed;
    } steps[] = {{off, true, true}, {on, true, false}, {-1, false, false}};
    for (const auto& step : steps) {
        Select(list, step.row, step.select);
        SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
        EXPECT_EQ(HasState(file, ids::kCmdDisable, MF_GRAYED), step.disableGreyed) << step.row;
        EXPECT_EQ(HasState(file, ids::kCmdEnable, MF_GRAYED), !step.disableGreyed) << step.row;
    }

    Select(list, on);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdDisable, 0), 0);
    EXPECT_FALSE(ReadRegValue(registry, Hive::CurrentUser, kRun, box.prefix + "on"));
    EXPECT_TRUE(ReadRegValue(registry, Hive::CurrentUser, kRunDisabled, box.prefix + "on"));
    EXPECT_EQ(ListText(list, on, 3), "Disabled");
    ExpectDisabledCount();
}

TEST_F(MainWindowOnWindows, HeaderClickSortsShowsTheArrowAndKeepsTheSelection) {
    Run(kRun, "Zulu", "C:\\nowhere\\z.exe");
    Run(kRun, "alpha", "C:\\nowhere\\a.exe");
    Open();
    Select(list, RowNamed("off"));
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
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED),
              RowNamed("off"));

    SendMessageW(main, WM_NOTIFY, ids::kList, reinterpret_cast<LPARAM>(&click));
    HeaderText(list, 0, &format);
    EXPECT_TRUE(format & HDF_SORTDOWN);
    EXPECT_FALSE(format & HDF_SORTUP);
    EXPECT_GT(RowNamed("alpha"), RowNamed("Zulu"));
}

TEST_F(MainWindowOnWindows, StartOptionsFollowTheirClicks) {
    settings.SetRunMinimized(true);
    Open();
    const HMENU bar = GetMenu(main);
    EXPECT_TRUE(HasState(bar, ids::kCmdRunMinimized, MF_CHECKED));
    EXPECT_FALSE(HasState(bar, ids::kCmdRunWithWindows, MF_CHECKED));
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdRunMinimized, 0), 0);
    EXPECT_FALSE(HasState(bar, ids::kCmdRunMinimized, MF_CHECKED));
    EXPECT_EQ(Setting("RunMinimized"), "False");

    const std::string autostartKey = Autostart(registry, system).KeyPath();
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdRunWithWindows, 0), 0);
    EXPECT_TRUE(HasState(bar, ids::kCmdRunWithWindows, MF_CHECKED));
    EXPECT_EQ(ReadRegString(registry, Hive::LocalMachine, autostartKey, kAutostartValue),
              system.ProgramFolder() + "\\" + system.ProgramName() + ".exe");
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdRunWithWindows, 0), 0);
    EXPECT_FALSE(HasState(bar, ids::kCmdRunWithWindows, MF_CHECKED));
    EXPECT_FALSE(ReadRegValue(registry, Hive::LocalMachine, autostartKey, kAutostartValue));
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
    EXPECT_EQ(Setting("Width"), "11175");  // not saved yet: still the first run's size

    world->window.ShowFromTray();
    EXPECT_TRUE(IsWindowVisible(main));
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kCmdExit, 0), 0);
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(TakeQuit());
    EXPECT_EQ(Setting("Width"), std::to_string(PixelsToTwips(TwipsToPixels(13500, dpi), dpi)));
    EXPECT_EQ(Setting("Heigth"), std::to_string(PixelsToTwips(TwipsToPixels(9000, dpi), dpi)));
}

TEST(TrayWindowOnWindows, HiddenWindowWhoseClicksOpenTheMainWindow) {
    Win32FileSystem files;
    Win32System system;
    int opened = 0;
    int exited = 0;
    const LanguageFile english = LanguageFile::Load(files, system, LanguageFileOf("English"));
    frmSysTray tray;
    ASSERT_TRUE(tray.Create(english, [&] { ++opened; }, [&] { ++exited; }));
    wchar_t className[64] = {};
    GetClassNameW(tray.Handle(), className, 64);
    EXPECT_EQ(std::wstring(className), ids::kTrayClass);
    EXPECT_FALSE(IsWindowVisible(tray.Handle()));
    for (const UINT mouse : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_LBUTTONDOWN}) {
        SendMessageW(tray.Handle(), frmSysTray::kIconMessage, 1, mouse);
    }
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(exited, 0);
}
