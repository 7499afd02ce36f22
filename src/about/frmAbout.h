#pragma once
// The About box: the program's picture, title, version, copyright line and a
// link to its web site.

#include <windows.h>

#include <string>

#include "language/Texts.h"
#include "platform/Shell.h"
#include "platform/win32/DialogWindow.h"
#include "platform/win32/Handles.h"

// Its window class and controls; tests that drive the program find them by these.
namespace dovoviza::ids {

inline constexpr const wchar_t* kAboutClass = L"dovovizaAbout";

// Controls of the About box.
constexpr int kAboutPicture = 5001;
constexpr int kAboutTitle = 5002;
constexpr int kAboutVersionLabel = 5003;  // "Version:"
constexpr int kAboutVersion = 5004;       // "2.0"
constexpr int kAboutCopyright = 5005;
constexpr int kAboutLink = 5006;  // a SysLink control
constexpr int kAboutClose = 2;    // IDCANCEL: Escape and Enter press it

}  // namespace dovoviza::ids

namespace dovoviza {

class frmAbout final : public win32::DialogWindow {
public:
    frmAbout(ITexts& texts, IShell& shell, std::string homePage, std::string programFolder,
             HWND owner = nullptr);

    // Opens the box, or brings the open one to the front.
    void Show();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInit() override;
    // Close, Escape and Enter all close the box.
    int DefaultButton() const override { return ids::kAboutClose; }

private:
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
