#pragma once
// The base of the program's dialog-like windows (create/edit, language, About,
// the alert): a captioned frame with the icon it is given, the dialog keyboard
// (Tab, Enter for the default button, Escape), the focus kept where the user
// left it, and one set of handlers instead of a message switch in each:
// OnInit builds the controls, OnCommand takes the rest, Enter and Escape go to
// OnOk and OnCancel, and the close box asks CanClose.

#include <windows.h>

#include <string>

#include "platform/ScopedFlag.h"
#include "platform/win32/Window.h"

namespace dovoviza::win32 {

class DialogWindow : public Window {
public:
    // Inside a handler that waits for the user (see BusyScope).
    bool Busy() const { return busy_; }

protected:
    // `icon` names the window icon among the program's resources.
    DialogWindow(HWND owner, const wchar_t* icon) : owner_(owner), icon_(icon) {}

    static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    static constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

    // Creates the hidden frame and lets OnInit fill it; a frame OnInit
    // refused is destroyed again. False when nothing stands.
    bool Open(const wchar_t* className, const std::wstring& title = L"", DWORD style = kStyle,
              DWORD exStyle = kExStyle);
    // Gives the frame this client size and places it over its owner (or in
    // the middle of the work area), wholly on screen.
    void PlaceOverOwner(int clientWidth, int clientHeight);
    // Gives the frame this client size where it stands.
    void Resize(int clientWidth, int clientHeight);
    void ShowAndActivate();
    void FocusControl(HWND control);
    // Gives `control` the focus when the window is next activated.
    void KeepFocusOn(HWND control);
    // Shows an open dialog as it is; otherwise opens it afresh, shows it and
    // gives the control `focusId` the focus.
    void OpenOrActivate(const wchar_t* className, int focusId);
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }

    // Disables the window while a question of the owner's is open, so that
    // nothing in it can be pressed a second time; ends with the scope, even
    // when the window went meanwhile.
    class BusyScope {
    public:
        explicit BusyScope(DialogWindow& dialog);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        DialogWindow& dialog_;
        const bool wasBusy_;
        const ScopedFlag busy_;
    };
    // Builds the controls into the new frame; false when one could not be made.
    virtual bool OnInit() = 0;
    // A command of a control other than Enter's and Escape's.
    virtual void OnCommand(int /*id*/, int /*code*/) {}
    // Enter on the default button.
    virtual void OnOk() {}
    // Escape, and the close box once CanClose agrees: closes the window.
    virtual void OnCancel() {
        if (CanClose()) Destroy();
    }
    virtual bool CanClose() const { return !busy_; }
    // The button Enter presses.
    virtual int DefaultButton() const { return IDOK; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND owner_;
    const wchar_t* icon_;
    FocusKeeper focus_;
    bool busy_ = false;
};

}  // namespace dovoviza::win32
