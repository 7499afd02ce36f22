#pragma once
// Measuring and placing controls. Windows are laid out in dialog units of
// their own font, as the dialog manager does, so that they grow with the
// user's DPI and a translation's font; texts are measured with the font they
// are drawn in.

#include <windows.h>

#include <string>

namespace dovoviza::win32 {

// The dialog-unit grid of a font: 4 horizontal units are its average
// character width, 8 vertical units its character height.
class DialogUnits {
public:
    explicit DialogUnits(HFONT font);
    int X(int units) const { return MulDiv(units, baseX_, 4); }
    int Y(int units) const { return MulDiv(units, baseY_, 8); }
    // The height of one line of text in the font.
    int LineHeight() const { return baseY_; }

private:
    int baseX_ = 6;
    int baseY_ = 13;
};

// The size of one line of text in a font (prefix characters shown as they are
// when `prefix` is false, dropped like a label or button drops them when true).
SIZE MeasureText(HFONT font, const std::wstring& text, bool prefix = false);
// The width of the text a control shows, in its font.
int TextWidth(HFONT font, HWND control, bool prefix = false);

// A child control; null when it could not be made.
HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                   int id, DWORD exStyle = 0);

// Moves a child to client coordinates of its parent; false when it refused.
bool Place(HWND control, int x, int y, int width, int height);

// The size a window must have for a client area of this size.
SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

// The work area of the monitor nearest to a window (or the primary one for null).
RECT WorkAreaOf(HWND window);

}  // namespace dovoviza::win32
