#include "platform/win32/HtmlHelpViewer.h"

#include <vector>

#include "platform/win32/WideText.h"

namespace dovoviza::win32 {

namespace {

constexpr UINT kDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
constexpr UINT kCloseAll = 0x0012;      // HH_CLOSE_ALL

}  // namespace

HtmlHelpViewer::~HtmlHelpViewer() {
    if (module_ == nullptr) return;
    // Its windows go before the code that runs them.
    if (htmlHelp_ != nullptr) static_cast<void>(htmlHelp_(nullptr, nullptr, kCloseAll, 0));
    static_cast<void>(FreeLibrary(module_));
}

bool HtmlHelpViewer::Load() {
    if (htmlHelp_ != nullptr) return true;
    if (module_ == nullptr) {
        // By full path: never a look-alike from the program's or the current folder.
        std::vector<wchar_t> folder(MAX_PATH);
        const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
        if (length == 0 || length >= folder.size()) return false;
        const std::wstring path = std::wstring(folder.data(), length) + L"\\hhctrl.ocx";
        module_ = LoadLibraryW(path.c_str());
        if (module_ == nullptr) return false;
    }
    htmlHelp_ = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(module_, "HtmlHelpW")));
    return htmlHelp_ != nullptr;
}

bool HtmlHelpViewer::Show(HWND owner, const std::string& path) {
    return Load() && htmlHelp_(owner, Wide(path).c_str(), kDisplayTopic, 0) != nullptr;
}

}  // namespace dovoviza::win32
