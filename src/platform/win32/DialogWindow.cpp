#include "platform/win32/DialogWindow.h"

#include <algorithm>

#include "platform/win32/Layout.h"

namespace dovoviza::win32 {

namespace {

HICON LoadIconResource(const wchar_t* name, int metricX, int metricY) {
    if (name == nullptr) return nullptr;
    // Shared icons belong to the system's cache and are never destroyed.
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                         LR_SHARED));
}

}  // namespace

bool DialogWindow::Open(const wchar_t* className, const std::wstring& title, DWORD style,
                        DWORD exStyle) {
    if (!RegisterClassOnce(className, LoadIconResource(icon_, SM_CXICON, SM_CYICON),
                           LoadIconResource(icon_, SM_CXSMICON, SM_CYSMICON),
                           reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)))) {
        return false;
    }
    if (!Create(className, exStyle, style, title, 0, 0, 0, 0, owner_, nullptr)) return false;
    AddDialogKeyboard(Handle());
    if (!OnInit()) {
        Destroy();
        return false;
    }
    return true;
}

void DialogWindow::PlaceOverOwner(int clientWidth, int clientHeight) {
    const SIZE size = WindowSizeForClient(clientWidth, clientHeight, kStyle, kExStyle);
    RECT around = WorkAreaOf(owner_);
    if (owner_ != nullptr && IsWindowVisible(owner_) && !IsIconic(owner_)) {
        RECT ownerRect{};
        if (GetWindowRect(owner_, &ownerRect)) around = ownerRect;
    }
    const RECT work = WorkAreaOf(owner_);
    int x = (around.left + around.right - size.cx) / 2;
    int y = (around.top + around.bottom - size.cy) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - size.cx));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - size.cy));
    static_cast<void>(SetWindowPos(Handle(), nullptr, x, y, size.cx, size.cy,
                                   SWP_NOZORDER | SWP_NOACTIVATE));
}

void DialogWindow::Resize(int clientWidth, int clientHeight) {
    const SIZE size = WindowSizeForClient(clientWidth, clientHeight, kStyle, kExStyle);
    static_cast<void>(SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy,
                                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
}

void DialogWindow::ShowAndActivate() {
    const HWND hwnd = Handle();
    ShowWindow(hwnd, IsIconic(hwnd) ? SW_RESTORE : SW_SHOW);
    static_cast<void>(SetForegroundWindow(hwnd));
}

void DialogWindow::FocusControl(HWND control) {
    SetFocus(control);
    focus_.Set(control);
}

void DialogWindow::KeepFocusOn(HWND control) { focus_.Set(control); }

void DialogWindow::OpenOrActivate(const wchar_t* className, int focusId) {
    if (IsOpen()) {
        ShowAndActivate();
        return;
    }
    if (!Open(className)) return;
    ShowAndActivate();
    FocusControl(Item(focusId));
}

DialogWindow::BusyScope::BusyScope(DialogWindow& dialog)
    : dialog_(dialog), wasBusy_(dialog.busy_), busy_(dialog.busy_) {
    if (dialog_.IsOpen()) EnableWindow(dialog_.Handle(), FALSE);
}

DialogWindow::BusyScope::~BusyScope() {
    // The flag itself drops back as busy_ goes, after this.
    if (!wasBusy_ && dialog_.IsOpen()) EnableWindow(dialog_.Handle(), TRUE);
}

LRESULT DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            // Enter and Escape come as clicks of IDOK and IDCANCEL.
            if (code == BN_CLICKED && id == IDCANCEL) {
                OnCancel();
            } else if (code == BN_CLICKED && id == IDOK) {
                if (!busy_) OnOk();
            } else if (!busy_) {
                OnCommand(id, code);
            }
            return 0;
        }
        case DM_GETDEFID:
            return MAKELRESULT(DefaultButton(), DC_HASDEFID);
        case WM_CLOSE:
            OnCancel();
            return 0;
        case WM_ACTIVATE:
            focus_.OnActivate(Handle(), wParam);
            return 0;
        case WM_DESTROY:
            focus_.Set(nullptr);
            break;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace dovoviza::win32
