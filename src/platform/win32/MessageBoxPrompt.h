#pragma once
// Questions and messages as standard message boxes.

#include <windows.h>

#include "platform/Prompt.h"

namespace dovoviza::win32 {

class MessageBoxPrompt : public IPrompt {
public:
    // Boxes belong to this window (null: no owner).
    explicit MessageBoxPrompt(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }
    int Show(const std::string& text, const std::string& caption, int style) override;

private:
    HWND owner_;
};

}  // namespace dovoviza::win32
