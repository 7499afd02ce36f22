#include "app/frmSysTray.h"

#include <windows.h>
#include <shellapi.h>

#include <utility>

#include "app/AppTables.h"
#include "app/Settings.h"
#include "app/WindowIds.h"
#include "app/win32/Menus.h"
#include "platform/win32/WideText.h"
#include "resource.h"

namespace dovoviza {

namespace {

constexpr UINT kIconId = 1;

// The fields every call names; this size is understood by every Windows the
// program runs on.
NOTIFYICONDATAW IconRecord(HWND window) {
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V2_SIZE;
    record.hWnd = window;
    record.uID = kIconId;
    return record;
}

// An elevated program does not get the shell's broadcasts unless it asks for
// them; the call does not exist before Windows 7.
void AllowFromShell(HWND window, UINT message) {
    using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return;
    const auto filter = reinterpret_cast<FilterFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    if (filter == nullptr) return;
    constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
    // Without it the icon is simply not put back after a shell restart.
    static_cast<void>(filter(window, message, kAllow, nullptr));
}

// The icon's mouse messages arrive as the callback's parameter.
TrayMouse MouseOf(UINT message) {
    switch (message) {
    case WM_LBUTTONUP:
        return TrayMouse::LeftUp;
    case WM_LBUTTONDBLCLK:
        return TrayMouse::LeftDoubleClick;
    case WM_RBUTTONUP:
        return TrayMouse::RightUp;
    default:
        return TrayMouse::Other;
    }
}

}  // namespace

frmSysTray::~frmSysTray() {
    RemoveIcon();
    Destroy();
}

bool frmSysTray::Create(const LanguageFile& language, std::function<void()> open,
                        std::function<void()> exit) {
    open_ = std::move(open);
    exit_ = std::move(exit);
    if (!RegisterClassOnce(ids::kTrayClass, nullptr, nullptr, nullptr)) return false;
    if (!Window::Create(ids::kTrayClass, 0, WS_OVERLAPPED, win32::Wide(kAppCaption), 0, 0, 0, 0,
                        nullptr, nullptr)) {
        return false;
    }

    menu_.reset(CreatePopupMenu());
    if (menu_ && !AppendMenuItems(menu_.get(), kTrayMenu, language)) menu_.reset();
    if (menu_) static_cast<void>(SetMenuDefaultItem(menu_.get(), ids::kCmdTrayOpen, FALSE));

    icon_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), IDI_APP_NAME, IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), 0)));
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    if (taskbarCreated_ != 0) AllowFromShell(Handle(), taskbarCreated_);
    // Without a notification area (yet) the icon comes when the shell announces one.
    static_cast<void>(AddIcon());
    return true;
}

bool frmSysTray::AddIcon() {
    if (!IsOpen()) return false;
    NOTIFYICONDATAW record = IconRecord(Handle());
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = kIconMessage;
    record.hIcon = icon_.get();
    lstrcpynW(record.szTip, win32::Wide(kAppCaption).c_str(), ARRAYSIZE(record.szTip));
    iconShown_ = Shell_NotifyIconW(NIM_ADD, &record) != FALSE;
    return iconShown_;
}

void frmSysTray::RemoveIcon() {
    if (!iconShown_ || !IsOpen()) return;
    NOTIFYICONDATAW record = IconRecord(Handle());
    // Gone or not, the icon is no longer ours to remove.
    static_cast<void>(Shell_NotifyIconW(NIM_DELETE, &record));
    iconShown_ = false;
}

void frmSysTray::ShowMenu() {
    if (!menu_) return;
    POINT at{};
    if (!GetCursorPos(&at)) return;
    // The menu closes on a click elsewhere only when its window is in front;
    // the empty message afterwards lets it close properly the next time too.
    static_cast<void>(SetForegroundWindow(Handle()));
    const UINT command = static_cast<UINT>(TrackPopupMenu(
        menu_.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr));
    static_cast<void>(PostMessageW(Handle(), WM_NULL, 0, 0));
    if (command == ids::kCmdTrayOpen && open_) open_();
    if (command == ids::kCmdTrayExit && exit_) exit_();
}

LRESULT frmSysTray::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kIconMessage) {
        if (wParam == kIconId) {
            switch (TrayMouseAction(MouseOf(LOWORD(lParam)))) {
            case TrayAction::OpenMainWindow:
                if (open_) open_();
                break;
            case TrayAction::ShowMenu:
                ShowMenu();
                break;
            case TrayAction::None:
                break;
            }
        }
        return 0;
    }
    if (taskbarCreated_ != 0 && message == taskbarCreated_) {
        // A new notification area knows no icons.
        iconShown_ = false;
        static_cast<void>(AddIcon());
        return 0;
    }
    if (message == WM_DESTROY) RemoveIcon();
    return Default(message, wParam, lParam);
}

}  // namespace dovoviza
