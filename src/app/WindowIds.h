#pragma once
// Window classes, control identifiers and menu commands of the program's
// windows. Tests that drive the running program find windows by these.

namespace dovoviza::ids {

// Window classes.
inline constexpr const wchar_t* kMainClass = L"dovovizaMain";
inline constexpr const wchar_t* kTrayClass = L"dovovizaTray";
inline constexpr const wchar_t* kAlertClass = L"dovovizaAlert";
inline constexpr const wchar_t* kAddClass = L"dovovizaAdd";
inline constexpr const wchar_t* kLanguageClass = L"dovovizaLanguage";
inline constexpr const wchar_t* kAboutClass = L"dovovizaAbout";

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
// The tray icon's menu.
constexpr int kCmdTrayOpen = 40101;
constexpr int kCmdTrayExit = 40102;

// Controls of the alert window.
constexpr int kAlertHeading = 2001;     // "Alert!"
constexpr int kAlertSubHeading = 2002;  // "New startup item detected!"
constexpr int kAlertIcon = 2003;
constexpr int kAlertSectionCaption = 2004;
constexpr int kAlertSection = 2005;
constexpr int kAlertNameCaption = 2006;
constexpr int kAlertName = 2007;
constexpr int kAlertValueCaption = 2008;
constexpr int kAlertValue = 2009;
constexpr int kAlertDetails = 2010;     // the File Details link
constexpr int kAlertAllow = 2011;       // standard Buttons with their captions
constexpr int kAlertDisable = 2012;
constexpr int kAlertDelete = 2013;
constexpr int kAlertPicture = 2014;

// Controls of the create/edit dialog.
constexpr int kAddNameLabel = 3001;
constexpr int kAddName = 3002;
constexpr int kAddValueLabel = 3003;
constexpr int kAddValue = 3004;
constexpr int kAddBrowse = 3005;
constexpr int kAddParametersLabel = 3006;
constexpr int kAddParameters = 3007;
constexpr int kAddSectionLabel = 3008;
constexpr int kAddSection = 3009;  // a drop-down list (ComboBox)
constexpr int kAddOk = 1;      // IDOK: Enter presses it
constexpr int kAddCancel = 2;  // IDCANCEL: Escape presses it

// Controls of the language dialog.
constexpr int kLanguageSelectLabel = 4001;
constexpr int kLanguageList = 4002;  // a drop-down list (ComboBox)
constexpr int kLanguageTranslator = 4003;
constexpr int kLanguageEmail = 4004;  // SysLink controls
constexpr int kLanguageWeb = 4005;
constexpr int kLanguageApply = 1;   // IDOK: Enter presses it
constexpr int kLanguageCancel = 2;  // IDCANCEL: Escape presses it

// Controls of the About box.
constexpr int kAboutPicture = 5001;
constexpr int kAboutTitle = 5002;
constexpr int kAboutVersionLabel = 5003;  // "Version:"
constexpr int kAboutVersion = 5004;       // "2.0"
constexpr int kAboutCopyright = 5005;
constexpr int kAboutLink = 5006;  // a SysLink control
constexpr int kAboutClose = 2;    // IDCANCEL: Escape and Enter press it

}  // namespace dovoviza::ids
