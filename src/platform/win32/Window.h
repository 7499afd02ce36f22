#pragma once
// The base of every window of the program: it owns its HWND, receives its
// messages through one static procedure that finds the object again, and never
// lets an exception out into the system.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/win32/Handles.h"

namespace dovoviza::win32 {

class Window {
public:
    Window() = default;
    // Destroys the window without telling the derived class, which is gone by then.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    bool IsOpen() const { return hwnd_ != nullptr; }
    // Destroys the window now (the object stays and may create it again).
    void Destroy();

protected:
    // Registers a window class of this module once; later calls do nothing.
    static bool RegisterClassOnce(const wchar_t* className, HICON icon, HICON smallIcon,
                                  HBRUSH background, UINT style = 0);
    bool Create(const wchar_t* className, DWORD exStyle, DWORD style, const std::wstring& title,
                int x, int y, int width, int height, HWND parent, HMENU menu);

    // Every message of the window. The default hands it to DefWindowProc.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

// Told of an exception that reached a window procedure, with its text; the
// program entry decides how to say so. The window goes on with the default
// treatment of the message.
using FailureReporter = std::function<void(const std::string& what)>;
void SetFailureReporter(FailureReporter reporter);
void ReportFailure(const std::string& what);

// Keeps the focus where the user left it when a dialog-like window loses and
// regains activation, as a dialog box does. Feed it WM_ACTIVATE.
class FocusKeeper {
public:
    void OnActivate(HWND window, WPARAM wParam);
    void Set(HWND control) { last_ = control; }

private:
    HWND last_ = nullptr;
};

// Modeless windows that want dialog keyboard handling (Tab between controls,
// Enter for the default button, Escape) register here; the message loop asks
// them first.
void AddDialogKeyboard(HWND window);
void RemoveDialogKeyboard(HWND window);
// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop(HWND acceleratorWindow = nullptr, HACCEL accelerators = nullptr);

// The system's dialog font at the given DPI, in the character set a language
// file asks for (the system's own when it names none).
UniqueHFont CreateUiFont(int dpi, std::optional<int> characterSet, bool bold = false,
                         int extraPoints = 0);
// The DPI the program draws at (it is system-DPI aware).
int SystemDpi();
// Twips (1/1440 inch) to pixels at a DPI, rounded.
int TwipsToPixels(int twips, int dpi);
int PixelsToTwips(int pixels, int dpi);

std::wstring GetText(HWND window);
void SetText(HWND window, const std::string& utf8);
// Sets the font of a window and of all its child windows.
void SetFontOfChildren(HWND parent, HFONT font);

}  // namespace dovoviza::win32
