#pragma once
// The About box: the program's picture, title, version, copyright line and a
// link to its web site.

#include <windows.h>

#include <string>

#include "language/Texts.h"
#include "platform/Shell.h"
#include "platform/win32/DialogWindow.h"
#include "platform/win32/Handles.h"

namespace dovoviza {

class frmAbout final : public win32::DialogWindow {
public:
    frmAbout(ITexts& texts, IShell& shell, std::string homePage, std::string programFolder,
             HWND owner = nullptr);
    ~frmAbout() override;

    // Opens the box, or brings the open one to the front.
    void Show();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool Build();
    SIZE Layout();

    ITexts& texts_;
    IShell& shell_;
    std::string homePage_;
    std::string programFolder_;
    win32::UniqueHFont font_;
    win32::UniqueHFont titleFont_;
    win32::UniqueHIcon picture_;
};

}  // namespace dovoviza
