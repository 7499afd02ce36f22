#pragma once
// The main window's and the tray icon's classes, controls and menu commands.
// Tests that drive the running program find windows by these; each dialog
// keeps its own beside its class.

namespace dovoviza::ids {

// Window classes.
inline constexpr const wchar_t* kMainClass = L"dovovizaMain";
inline constexpr const wchar_t* kTrayClass = L"dovovizaTray";

// Controls of the main window.
constexpr int kToolbar = 1001;
constexpr int kList = 1002;  // a standard SysListView32
constexpr int kStatusBar = 1003;

// Menu commands (File, Options, Help, the list's right-click menu and the
// toolbar send the same commands).
constexpr int kCmdNewItem = 40001;
constexpr int kCmdEditItem = 40002;
constexpr int kCmdDisable = 40003;
constexpr int kCmdEnable = 40004;
constexpr int kCmdDelete = 40005;
constexpr int kCmdExecute = 40006;
constexpr int kCmdProperties = 40007;
constexpr int kCmdExit = 40008;
constexpr int kCmdRefresh = 40009;
constexpr int kCmdRunWithWindows = 40010;
constexpr int kCmdRunMinimized = 40011;
constexpr int kCmdLanguage = 40012;
constexpr int kCmdHelpFile = 40013;
constexpr int kCmdUpdate = 40014;
constexpr int kCmdAbout = 40015;
constexpr int kCmdExport = 40016;
constexpr int kCmdHistory = 40017;
// The tray icon's menu.
constexpr int kCmdTrayOpen = 40101;
constexpr int kCmdTrayExit = 40102;

}  // namespace dovoviza::ids
