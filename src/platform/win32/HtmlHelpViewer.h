#pragma once
// The system's HTML Help viewer, loaded from the system folder when first
// needed and kept until the program ends (its windows live in it).

#include <windows.h>

#include <string>

namespace dovoviza::win32 {

class HtmlHelpViewer {
public:
    HtmlHelpViewer() = default;
    ~HtmlHelpViewer();
    HtmlHelpViewer(const HtmlHelpViewer&) = delete;
    HtmlHelpViewer& operator=(const HtmlHelpViewer&) = delete;

    // Shows a compiled help file's default page; false when the viewer is
    // not there or did not open the file.
    bool Show(HWND owner, const std::string& path);

private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
    bool Load();

    HMODULE module_ = nullptr;
    HtmlHelpFunction htmlHelp_ = nullptr;
};

}  // namespace dovoviza::win32
