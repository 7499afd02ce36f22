// The main window as Windows builds it, over the real registry of the prefix:
// menus and headers in the chosen language, and what the selection allows.

#include "WinTest.h"

#include <commctrl.h>

#include "app/AppTables.h"
#include "app/frmMain.h"
#include "catalogue/Loaders.h"
#include "platform/win32/Win32ChangeWatcher.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace wintest;

namespace {

// The main window with its parts made as the process entry makes them.
struct World {
    World(const Platform& platform, const std::string& language)
        : texts(platform.files, platform.system, SourcePath("Language/" + language + ".lng")),
          fileInfo(platform.versions, &platform.files),
          settings(platform.registry),
          autostart(platform.registry, platform.system),
          list(platform, fileInfo, texts, icons, Folders(platform)),
          window(
              {platform, texts, fileInfo, icons, prompt, http, settings, autostart, list, watcher},
              [] {}) {}
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
        PrefixTest::TearDown();
    }
    void Open(const std::string& language) {
        world = std::make_unique<World>(platform, language);
        ASSERT_TRUE(world->window.Create(false));
        // The rows come in between the window's messages.
        ASSERT_TRUE(WaitUntil([&] { return !world->list.LoadPending(); }));
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
        ListView_SetItemState(list, row, on ? LVIS_SELECTED | LVIS_FOCUSED : 0,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
    static bool Greyed(HMENU menu, int command) {
        const UINT state = GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & MF_GRAYED);
    }

    std::unique_ptr<World> world;
    HWND main = nullptr, list = nullptr;
    HMENU bar = nullptr;
};

TEST_F(MainWindow, MenusAndHeadersAreBuiltInTheChosenLanguageAndUsable) {
    Open("Deutsch");
    const LanguageFile german =
        LanguageFile::Load(files, system, SourcePath("Language/Deutsch.lng"));
    ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(kMainMenuBar.size()));
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        const MenuBarMenu& menu = kMainMenuBar[static_cast<std::size_t>(i)];
        wchar_t title[128] = {}, first[128] = {};
        GetMenuStringW(bar, static_cast<UINT>(i), title, 128, MF_BYPOSITION);
        GetMenuStringW(GetSubMenu(bar, i), 0, first, 128, MF_BYPOSITION);
        EXPECT_EQ(Narrow(title) + "|" + Narrow(first) +
                      std::to_string(GetMenuItemCount(GetSubMenu(bar, i))),
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
        EXPECT_TRUE(column != 9 || Narrow(text) == "Dateigröße");  // read in its code page
    }
}

TEST_F(MainWindow, TheSelectedRowDecidesBetweenDisableAndEnable) {
    ASSERT_TRUE(Put("on", L"C:\\nowhere\\on.exe") && Put("off", L"C:\\x\\off.exe", kRunDisabled));
    Open("English");
    const HMENU file = GetSubMenu(bar, 0);
    // The last selection decides; with nothing selected the items stay as they were.
    for (const auto& [row, on, disableGreyed] :
         {std::tuple{Row("off"), true, true}, {Row("on"), true, false}, {-1, false, false}}) {
        Select(row, on);
        SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
        EXPECT_EQ(Greyed(file, ids::kCmdDisable), disableGreyed) << row;
        EXPECT_EQ(Greyed(file, ids::kCmdEnable), !disableGreyed) << row;
    }
}

}  // namespace
