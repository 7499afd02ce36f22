// The process entry: one instance only, the platform objects made once and
// handed down, then the tray icon and the main window.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "app/frmMain.h"
#include "app/frmSysTray.h"
#include "catalogue/FileDetails.h"
#include "catalogue/Loaders.h"
#include "catalogue/MainList.h"
#include "language/Texts.h"
#include "platform/Platform.h"
#include "platform/Prompt.h"
#include "platform/win32/Handles.h"
#include "platform/win32/MessageBoxPrompt.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32ChangeWatcher.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Http.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"
#include "platform/win32/Window.h"
#include "resource.h"

namespace {

using namespace dovoviza;

// Exit codes of the early ends; a normal exit gives 0.
constexpr int kAlreadyRunning = 1;
constexpr int kUnsupportedWindows = 2;
constexpr int kNoWindow = 3;
constexpr int kFailed = 4;

// Per session, like the runtime flag it replaces: another user's copy is not ours.
constexpr const wchar_t* kInstanceMutex = L"Local\\dovoviza.SingleInstance";

// The English texts built into the program; empty when the resource is missing.
std::vector<std::uint8_t> BuiltInEnglish() {
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_ENGLISH_TEXTS), RT_RCDATA);
    if (found == nullptr) return {};
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) return {};
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    return std::vector<std::uint8_t>(first, first + size);
}

int Run() {
    win32::UniqueHandle instance(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    if (instance && GetLastError() == ERROR_ALREADY_EXISTS) {
        win32::MessageBoxPrompt().Show("Application is already running!", kAppCaption,
                                       MsgStyle::Critical);
        return kAlreadyRunning;
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_USEREX_CLASSES | ICC_LINK_CLASS;
    // Without it the windows still come up with the classes comctl32 registers
    // on loading; there is nothing better to do than go on.
    static_cast<void>(InitCommonControlsEx(&controls));

    const win32::ComInitializer com;
    win32::Win32Registry registry;
    win32::Win32FileSystem files;
    win32::Win32Shell shell;
    win32::Win32VersionReader versions;
    win32::Win32System system;
    const Platform platform{registry, files, shell, versions, system};

    Settings settings(registry);
    LanguageTexts texts(files, system, LanguageFilePath(system.ProgramFolder(), settings.LanguageName()),
                        BuiltInEnglish());
    win32::MessageBoxPrompt prompt;
    if (GetOS(system.Version()) != 2) {
        prompt.Show(texts.Get(lang::kUnsupportedWindows), kAppTitle, MsgStyle::Critical);
        return kUnsupportedWindows;
    }
    const bool minimized = settings.RunMinimized();

    // A failure that reached a window is said once; the program goes on, its
    // list and watchdog as they were before the message that failed.
    const std::string failureText = texts.Get(lang::kInternalFailure);
    win32::SetFailureReporter([failureText](const std::string& what) {
        static bool told = false;
        if (told) return;
        told = true;
        win32::MessageBoxPrompt().Show(failureText + "\r\n" + what, kAppTitle, MsgStyle::Critical);
    });

    FileInfoClass fileInfo(versions, &files);
    win32::ShellIconList icons(IconSize::Small);
    StartupFolderPaths folders = ResolveStartupFolders(shell);
    PrepareDisabledFolders(files, folders);
    MainList list(platform, fileInfo, texts, icons, std::move(folders));
    Autostart autostart(registry, system);
    win32::Win32HttpClient http(win32::kHttpAnswerMessage);
    win32::Win32ChangeWatcher watcher;

    frmSysTray tray;
    frmMain mainWindow(MainWindowParts{platform, texts, fileInfo, icons, prompt, http, settings, autostart, list, watcher},
                       [&tray] { tray.RemoveIcon(); });
    if (!tray.Create(texts.File(), [&mainWindow] { mainWindow.ShowFromTray(); },
                     [&mainWindow] { mainWindow.Exit(); })) {
        return kNoWindow;
    }
    if (!mainWindow.Create(!minimized)) return kNoWindow;
    if (texts.Incomplete()) prompt.Show(texts.IncompleteNotice(), kAppTitle, MsgStyle::Exclamation);
    return win32::RunMessageLoop();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        return Run();
    } catch (const std::exception&) {
        return kFailed;
    } catch (...) {
        return kFailed;
    }
}
