#include "platform/win32/DialogWindow.h"

#include <algorithm>

#include "platform/win32/Layout.h"
#include "resource.h"

namespace dovoviza::win32 {

namespace {

HICON LoadAppIcon(int metricX, int metricY) {
    // Shared icons belong to the system's cache and are never destroyed.
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), IDI_APP_NAME, IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                         LR_SHARED));
}

}  // namespace

bool DialogWindow::CreateFrame(const wchar_t* className) {
    if (!RegisterClassOnce(className, LoadAppIcon(SM_CXICON, SM_CYICON),
                           LoadAppIcon(SM_CXSMICON, SM_CYSMICON),
                           reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)))) {
        return false;
    }
    if (!Create(className, kExStyle, kStyle, L"", 0, 0, 0, 0, owner_, nullptr)) return false;
    AddDialogKeyboard(Handle());
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

void DialogWindow::ShowAndActivate() {
    const HWND hwnd = Handle();
    ShowWindow(hwnd, IsIconic(hwnd) ? SW_RESTORE : SW_SHOW);
    static_cast<void>(SetForegroundWindow(hwnd));
}

void DialogWindow::FocusControl(HWND control) {
    SetFocus(control);
    focus_.Set(control);
}

LRESULT DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE) {
        focus_.OnActivate(Handle(), wParam);
        return 0;
    }
    if (message == WM_DESTROY) focus_.Set(nullptr);
    return Default(message, wParam, lParam);
}

}  // namespace dovoviza::win32
