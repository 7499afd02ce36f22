#pragma once
// The main window: the menus, the toolbar, the list of startup entries and the
// status bar. Closing it only hides it; the program lives on behind its
// notification-area icon until Exit.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/Settings.h"
#include "catalogue/FileDetails.h"
#include "catalogue/MainList.h"
#include "history/frmHistory.h"
#include "language/Ini.h"
#include "language/Texts.h"
#include "operations/ItemOperations.h"
#include "platform/ChangeWatch.h"
#include "platform/Platform.h"
#include "platform/win32/Handles.h"
#include "platform/win32/HtmlHelpViewer.h"
#include "platform/win32/MessageBoxPrompt.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32Http.h"
#include "platform/win32/Window.h"

namespace dovoviza {

class Monitor;
class AlertWindows;
class frmAdd;
class frmLanguage;
class frmAbout;
class UpdateCheck;

// What the process entry makes once, with the Windows implementations it
// chose, and the main window works with.
struct MainWindowParts {
    const Platform& platform;
    LanguageTexts& texts;
    FileInfoClass& fileInfo;
    win32::ShellIconList& icons;
    win32::MessageBoxPrompt& prompt;
    win32::Win32HttpClient& http;
    Settings& settings;
    Autostart& autostart;
    MainList& list;
    IChangeWatcher& watcher;
    Journal* journal = nullptr;  // where every change is noted
    // Runs once the first load's rows are in, before the first scan.
    std::function<void()> afterFirstLoad = {};
};

class frmMain : public win32::Window {
public:
    // beforeQuit runs on the way out (File > Exit, the tray's Exit, the end of
    // the Windows session): the tray takes its icon down there.
    frmMain(const MainWindowParts& parts, std::function<void()> beforeQuit);
    ~frmMain() override;

    // Builds the window, fills the list, makes the first scan and starts the
    // monitor; shows the window unless told to stay in the notification area.
    bool Create(bool show);
    // Brings the window back from the notification area (or from the taskbar).
    void ShowFromTray();
    // Saves the window's size and ends the program.
    void Exit();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool BuildMenus();
    bool BuildToolbar();
    bool BuildList();
    bool BuildStatusBar();
    void SetWindowIcons();

    void Layout(int width, int height);
    void ArrangeStatusPanels();
    void RefreshList(bool showSelected = false);
    void ShowSortArrows();
    void ShowCounts();
    void TakeSelectionFromView();

    void OnCommand(int command);
    LRESULT OnNotify(const NMHDR& header);
    void OnTimer();
    // Reloads the list in steps between the window's messages.
    void StartLoad();
    void KeepLoading();
    void OnLoadStep();
    void FinishLoad();
    void AfterLoadWork(std::uint64_t generation);
    void OpenHelp();
    void ExportList();
    void ApplyMenuState();
    void ShowListMenu(LPARAM position);
    bool IsChecked(int command) const;
    void SetChecked(int command, bool checked);
    void SaveSize();

    const Platform& platform_;
    LanguageTexts& texts_;
    FileInfoClass& fileInfo_;
    win32::ShellIconList& icons_;
    win32::MessageBoxPrompt& prompt_;
    Settings& settings_;
    Autostart& autostart_;
    IChangeWatcher& watcher_;
    Journal* journal_;
    std::unique_ptr<frmHistory> history_;
    MainList* const list_;
    win32::Win32HttpClient* const http_;
    std::function<void()> beforeQuit_;
    std::function<void()> afterFirstLoad_;

    // Made with the window, in this order.
    std::optional<OperationContext> context_;
    std::unique_ptr<AlertWindows> alerts_;
    std::unique_ptr<Monitor> monitor_;
    std::unique_ptr<frmAdd> add_;
    std::unique_ptr<frmLanguage> languageDialog_;
    std::unique_ptr<frmAbout> about_;
    std::unique_ptr<UpdateCheck> updates_;
    win32::HtmlHelpViewer help_;

    int dpi_ = 96;
    win32::UniqueHIcon bigIcon_;
    win32::UniqueHIcon smallIcon_;
    win32::UniqueHFont font_;
    win32::UniqueHFont statusFont_;
    win32::UniqueHImageList toolbarImages_;
    win32::UniqueHMenu menuBar_;  // until the window takes it over
    HMENU menuBarInUse_ = nullptr;
    HMENU fileMenu_ = nullptr;
    win32::UniqueHMenu listMenu_;
    HWND toolbar_ = nullptr;
    HWND listView_ = nullptr;
    HWND statusBar_ = nullptr;
    std::map<int, std::wstring> tooltips_;
    int countsWidth_ = 0;
    int disabledWidth_ = 0;
    bool syncingView_ = false;
    bool timerRunning_ = false;
    bool loadTimerRunning_ = false;
    bool firstTickDue_ = true;  // the first scan follows the first load
};

}  // namespace dovoviza
