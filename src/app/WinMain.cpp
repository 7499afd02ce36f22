// The process entry: one instance only, the platform objects made once and
// handed down, then the tray icon and the main window. "/export PATH" writes
// the list to a file instead, without a window, beside a running copy too.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

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
#include "history/Export.h"
#include "history/Journal.h"
#include "language/Texts.h"
#include "platform/Platform.h"
#include "platform/Prompt.h"
#include "platform/Text.h"
#include "platform/win32/Handles.h"
#include "platform/win32/MessageBoxPrompt.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32ChangeWatcher.h"
#include "platform/win32/ReadAheadRegistry.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Http.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Window.h"
#include "resource.h"

namespace {

using namespace dovoviza;

// Exit codes of the early ends; a normal exit gives 0.
constexpr int kAlreadyRunning = 1;
constexpr int kUnsupportedWindows = 2;
constexpr int kNoWindow = 3;
constexpr int kFailed = 4;
constexpr int kExportUsage = 5;
constexpr int kExportFailed = 6;

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

// Says a line where the program was started from: the console, or the
// stream its error output goes to. Nothing when there is neither.
void SayToConsole(const std::string& line) {
    DWORD mode = 0, written = 0;
    HANDLE out = GetStdHandle(STD_ERROR_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE && !GetConsoleMode(out, &mode)) {
        // A redirected error stream: the line as UTF-8.
        const std::string bytes = line + "\n";
        static_cast<void>(WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        return;
    }
    // A window program has no console of its own: it borrows the one it was started from.
    win32::UniqueHandle console;
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
        console.reset(CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
        if (!console) return;
        out = console.get();
    }
    const std::wstring wide = win32::Wide(line + "\r\n");
    static_cast<void>(WriteConsoleW(out, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr));
}

int RunExport(const Platform& platform, ITexts& texts, const std::string& path) {
    if (!ExportFormatOf(path)) {
        SayToConsole(texts.Get(lang::kExportUsage));
        return kExportUsage;
    }
    FileInfoClass fileInfo(platform.versions, &platform.files);
    const StartupFolderPaths folders = ResolveStartupFolders(platform.shell);
    const LoadContext context{platform, fileInfo, folders,
                              StatusWords{texts.Get(lang::kFileNotFound), texts.Get(lang::kDisabledWord),
                                          texts.Get(lang::kSkippedByWindows)},
                              RowDetail::Full, nullptr};
    if (!ExportList(platform, LoadAllLocations(context), path)) {
        SayToConsole(FillIn(texts.Get(lang::kExportFailed), {path}));
        return kExportFailed;
    }
    return 0;
}

// The arguments after the program's name.
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* const words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words != nullptr && i < count; ++i) arguments.push_back(win32::Narrow(words[i]));
    if (words != nullptr) LocalFree(words);
    return arguments;
}

int Run() {
    const win32::ComInitializer com;
    win32::Win32Platform os;

    Settings settings(os.registry);
    LanguageTexts texts(os.files, os.system,
                        LanguageFilePath(os.system.ProgramFolder(), settings.LanguageName()),
                        BuiltInEnglish());
    const std::vector<std::string> arguments = Arguments();
    if (!arguments.empty() && EqualsAsciiNoCase(arguments[0], "/export")) {
        return RunExport(os.platform, texts, arguments.size() > 1 ? arguments[1] : std::string());
    }

    win32::UniqueHandle instance(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    if (instance && GetLastError() == ERROR_ALREADY_EXISTS) {
        win32::MessageBoxPrompt().Show("Application is already running!", kAppCaption,
                                       MsgStyle::Critical);
        return kAlreadyRunning;
    }

    // The watchdog lists the stores every time one changes: their values are
    // read ahead, off this thread, from the end of the first load on (they
    // would only compete with it before).
    win32::ReadAheadRegistry readAhead(os.registry);
    for (const StoreKeyName& key : RegistryStoreKeys()) readAhead.Keep(key.hive, key.path);
    const Platform platform{readAhead, os.files, os.shell, os.versions, os.system};

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_USEREX_CLASSES | ICC_LINK_CLASS;
    // Without it the windows still come up with the classes comctl32 registers
    // on loading; there is nothing better to do than go on.
    static_cast<void>(InitCommonControlsEx(&controls));

    win32::MessageBoxPrompt prompt;
    const std::string dataFolder = os.shell.CommonDataFolder();
    Journal journal(os.files, os.system, dataFolder.empty() ? std::string() : dataFolder + "\\dovoviza");
    if (GetOS(os.system.Version()) != 2) {
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

    FileInfoClass fileInfo(os.versions, &os.files);
    win32::ShellIconList icons(IconSize::Small);
    StartupFolderPaths folders = ResolveStartupFolders(os.shell);
    PrepareDisabledFolders(os.files, folders);
    MainList list(platform, fileInfo, texts, icons, std::move(folders));
    Autostart autostart(os.registry, os.system);
    win32::Win32HttpClient http(win32::kHttpAnswerMessage);
    win32::Win32ChangeWatcher watcher;

    frmSysTray tray;
    frmMain mainWindow(MainWindowParts{platform, texts, fileInfo, icons, prompt, http, settings, autostart, list, watcher,
                                       &journal,
                                       // without the thread the stores are read directly
                                       [&readAhead] { static_cast<void>(readAhead.Start()); }},
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
