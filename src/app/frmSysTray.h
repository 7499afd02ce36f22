#pragma once
// The notification-area icon and its hidden window. The icon stays for as
// long as the program runs; a click brings the main window back, its menu
// offers Open and Exit.

#include <functional>

#include "language/Ini.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Window.h"

namespace dovoviza {

class frmSysTray : public win32::Window {
public:
    // The icon's mouse messages come as this message, the mouse message in lParam.
    static constexpr UINT kIconMessage = WM_APP + 1;

    frmSysTray() = default;
    ~frmSysTray() override;

    // Creates the hidden window and puts the icon up. open brings the main
    // window back; exit ends the program.
    bool Create(const LanguageFile& language, std::function<void()> open, std::function<void()> exit);
    void RemoveIcon();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool AddIcon();
    void ShowMenu();

    std::function<void()> open_;
    std::function<void()> exit_;
    win32::UniqueHIcon icon_;
    win32::UniqueHMenu menu_;
    UINT taskbarCreated_ = 0;
    bool iconShown_ = false;
};

}  // namespace dovoviza
