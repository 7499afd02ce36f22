#pragma once
// Message boxes, as the portable logic asks its questions.

#include <string>

namespace dovoviza {

// Styles, numbered as Windows numbers them.
namespace MsgStyle {
constexpr int Critical = 16;           // MB_ICONHAND | MB_OK
constexpr int Question = 36;           // MB_ICONQUESTION | MB_YESNO
constexpr int Exclamation = 48;        // MB_ICONEXCLAMATION | MB_OK
constexpr int ExclamationYesNo = 52;   // MB_ICONEXCLAMATION | MB_YESNO
constexpr int Information = 64;        // MB_ICONINFORMATION | MB_OK
}  // namespace MsgStyle

constexpr int kAnswerOk = 1;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

class IPrompt {
public:
    virtual ~IPrompt() = default;
    // Shows a message box and returns the button pressed (kAnswerYes, ...).
    virtual int Show(const std::string& text, const std::string& caption, int style) = 0;
};

}  // namespace dovoviza
