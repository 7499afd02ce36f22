#pragma once
// The base of the program's small modeless dialogs (create/edit, language,
// About): a captioned frame with the program's icon that belongs to the main
// window, opens over it, takes the dialog keyboard (Tab, Enter, Escape) and
// keeps the focus where the user left it.

#include <windows.h>

#include "platform/win32/Window.h"

namespace dovoviza::win32 {

class DialogWindow : public Window {
public:
    // The window the dialog belongs to from its next opening on.
    void SetOwner(HWND owner) { owner_ = owner; }

protected:
    explicit DialogWindow(HWND owner) : owner_(owner) {}

    static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    static constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

    // Creates the empty, hidden frame; false when the system refused.
    bool CreateFrame(const wchar_t* className);
    // Gives the frame this client size and places it over its owner (or in
    // the middle of the work area), wholly on screen.
    void PlaceOverOwner(int clientWidth, int clientHeight);
    void ShowAndActivate();
    void FocusControl(HWND control);
    // Shows an open dialog as it is; otherwise builds it afresh with `build`,
    // shows it and gives the control `focusId` the focus.
    template <typename Build>
    void OpenOrActivate(Build build, int focusId) {
        if (!IsOpen()) {
            if (!build()) return;
            ShowAndActivate();
            FocusControl(Item(focusId));
            return;
        }
        ShowAndActivate();
    }
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }
    HWND Owner() const { return owner_; }

    // Keeps the focus across activation; everything else goes to DefWindowProc.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND owner_;
    FocusKeeper focus_;
};

}  // namespace dovoviza::win32
