#include "platform/win32/MessageBoxPrompt.h"

#include "platform/win32/WideText.h"

namespace dovoviza::win32 {

int MessageBoxPrompt::Show(const std::string& text, const std::string& caption, int style) {
    // An owner that is hidden (the main window in the notification area) would
    // leave the box behind other windows; it then stands on its own, in front.
    HWND owner = (owner_ != nullptr && IsWindowVisible(owner_)) ? owner_ : nullptr;
    UINT flags = static_cast<UINT>(style);
    if (owner == nullptr) flags |= MB_SETFOREGROUND | MB_TOPMOST;
    const int answer = MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), flags);
    return answer == 0 ? kAnswerNo : answer;  // a box that could not be shown answers No
}

}  // namespace dovoviza::win32
