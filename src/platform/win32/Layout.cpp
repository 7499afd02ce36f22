#include "platform/win32/Layout.h"

#include "platform/win32/Handles.h"

namespace dovoviza::win32 {

DialogUnits::DialogUnits(HFONT font) {
    const WindowDc dc(nullptr, font);
    if (dc.get() == nullptr) return;
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc.get(), &metrics)) baseY_ = metrics.tmHeight;
    // The dialog manager's average: the width of the 52 letters, rounded.
    static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    if (GetTextExtentPoint32W(dc.get(), kLetters, 52, &size) && size.cx > 0) {
        baseX_ = (size.cx / 26 + 1) / 2;
    }
}

SIZE MeasureText(HFONT font, const std::wstring& text, bool prefix) {
    SIZE size{0, 0};
    const WindowDc dc(nullptr, font);
    if (dc.get() == nullptr) return size;
    RECT rect{0, 0, 0, 0};
    const UINT format = DT_CALCRECT | DT_SINGLELINE | (prefix ? 0 : DT_NOPREFIX);
    // An empty text still has the height of a line.
    const std::wstring measured = text.empty() ? std::wstring(L" ") : text;
    if (DrawTextW(dc.get(), measured.c_str(), static_cast<int>(measured.size()), &rect, format) != 0) {
        size.cx = text.empty() ? 0 : rect.right - rect.left;
        size.cy = rect.bottom - rect.top;
    }
    return size;
}

int TextWidth(HFONT font, HWND control, bool prefix) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return 0;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return static_cast<int>(MeasureText(font, text, prefix).cx);
}

HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                   int id, DWORD exStyle) {
    return CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

bool Place(HWND control, int x, int y, int width, int height) {
    return control != nullptr && MoveWindow(control, x, y, width, height, FALSE) != 0;
}

SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
    RECT rect{0, 0, clientWidth, clientHeight};
    if (!AdjustWindowRectEx(&rect, style, FALSE, exStyle)) return SIZE{clientWidth, clientHeight};
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

RECT WorkAreaOf(HWND window) {
    RECT area{0, 0, 0, 0};
    const HMONITOR monitor = window != nullptr
                                 ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                 : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) return info.rcWork;
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) return area;
    area.right = GetSystemMetrics(SM_CXSCREEN);
    area.bottom = GetSystemMetrics(SM_CYSCREEN);
    return area;
}

}  // namespace dovoviza::win32
