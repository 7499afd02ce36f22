#include "platform/win32/Window.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "platform/win32/WideText.h"

namespace dovoviza::win32 {

namespace {

FailureReporter& Reporter() {
    static FailureReporter reporter;
    return reporter;
}

std::vector<HWND>& DialogKeyboardWindows() {
    static std::vector<HWND> windows;
    return windows;
}

}  // namespace

Window::~Window() {
    if (hwnd_ == nullptr) return;
    // The derived parts are gone by now: the window's last messages must not
    // reach them, so it is let go before it is destroyed.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    RemoveDialogKeyboard(hwnd_);
    static_cast<void>(DestroyWindow(hwnd_));
    hwnd_ = nullptr;
}

void Window::Destroy() {
    if (hwnd_ != nullptr) {
        // WM_NCDESTROY clears hwnd_; a failure leaves nothing to undo.
        static_cast<void>(DestroyWindow(hwnd_));
        hwnd_ = nullptr;
    }
}

bool Window::RegisterClassOnce(const wchar_t* className, HICON icon, HICON smallIcon,
                               HBRUSH background, UINT style) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, className, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

bool Window::Create(const wchar_t* className, DWORD exStyle, DWORD style, const std::wstring& title,
                    int x, int y, int width, int height, HWND parent, HMENU menu) {
    if (hwnd_ != nullptr) return true;
    const HWND created = CreateWindowExW(exStyle, className, title.c_str(), style, x, y, width, height,
                                         parent, menu, GetModuleHandleW(nullptr), this);
    return created != nullptr;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& failure) {
        // Nothing may unwind through the system's frames: the message gets the
        // default treatment and the failure is told.
        result = DefWindowProcW(hwnd, message, wParam, lParam);
        ReportFailure(failure.what());
    } catch (...) {
        result = DefWindowProcW(hwnd, message, wParam, lParam);
        ReportFailure("unknown error");
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        RemoveDialogKeyboard(hwnd);
        self->hwnd_ = nullptr;
    }
    return result;
}

void SetFailureReporter(FailureReporter reporter) { Reporter() = std::move(reporter); }

void ReportFailure(const std::string& what) {
    // A reporter that fails itself is not asked again for this failure.
    try {
        if (Reporter()) Reporter()(what);
    } catch (...) {
    }
}

void FocusKeeper::OnActivate(HWND window, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) last_ = focus;
    } else if (last_ != nullptr && IsWindow(last_)) {
        SetFocus(last_);
    }
}

void AddDialogKeyboard(HWND window) {
    auto& windows = DialogKeyboardWindows();
    if (std::find(windows.begin(), windows.end(), window) == windows.end()) windows.push_back(window);
}

void RemoveDialogKeyboard(HWND window) {
    auto& windows = DialogKeyboardWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

int RunMessageLoop(HWND acceleratorWindow, HACCEL accelerators) {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        if (accelerators != nullptr && acceleratorWindow != nullptr &&
            (msg.hwnd == acceleratorWindow || IsChild(acceleratorWindow, msg.hwnd)) &&
            TranslateAcceleratorW(acceleratorWindow, accelerators, &msg)) {
            continue;
        }
        bool handled = false;
        // A copy: a window may close (and unregister) while its message is handled.
        const std::vector<HWND> windows = DialogKeyboardWindows();
        for (HWND window : windows) {
            if ((msg.hwnd == window || IsChild(window, msg.hwnd)) && IsDialogMessageW(window, &msg)) {
                handled = true;
                break;
            }
        }
        if (handled) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

UniqueHFont CreateUiFont(int dpi, std::optional<int> characterSet, bool bold, int extraPoints) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
    } else {
        font.lfHeight = -MulDiv(9, dpi, 72);
        lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
    }
    // The metrics come at the system DPI; the program draws at that DPI too.
    if (extraPoints != 0) {
        const int sign = font.lfHeight < 0 ? -1 : 1;
        font.lfHeight += sign * MulDiv(extraPoints, dpi, 72);
    }
    if (bold) font.lfWeight = FW_BOLD;
    if (characterSet && *characterSet >= 0 && *characterSet <= 255) {
        font.lfCharSet = static_cast<BYTE>(*characterSet);
    }
    return UniqueHFont(CreateFontIndirectW(&font));
}

int SystemDpi() {
    const WindowDc screen(nullptr);
    if (screen.get() == nullptr) return 96;
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    return dpi > 0 ? dpi : 96;
}

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }
int PixelsToTwips(int pixels, int dpi) { return MulDiv(pixels, 1440, dpi); }

std::wstring GetText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void SetText(HWND window, const std::string& utf8) {
    static_cast<void>(SetWindowTextW(window, Wide(utf8).c_str()));
}

namespace {

// A named callback: a lambda does not convert to the 32-bit system's stdcall pointer.
BOOL CALLBACK SetFontOfChild(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

}  // namespace

void SetFontOfChildren(HWND parent, HFONT font) {
    SendMessageW(parent, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EnumChildWindows(parent, &SetFontOfChild, reinterpret_cast<LPARAM>(font));
}

}  // namespace dovoviza::win32
