#include "catalogue/EntryMessages.h"

namespace dovoviza {

namespace {

void Warn(ITexts& texts, IPrompt& prompt, const char* key) {
    prompt.Show(texts.Text("Main", key), kAppTitle, MsgStyle::Exclamation);
}

}  // namespace

std::string DeleteQuestion(ITexts& texts, const StartupLocation& location, std::string_view name,
                           std::string_view value) {
    std::string text = texts.Text("Add", "4") + " " + std::string(location.section) + "\r\n";
    if (location.IsRegistry()) {
        text += texts.Text("Add", "2") + " " + std::string(name) + "\r\n";
        text += texts.Text("Add", "3") + " " + std::string(value);
    } else {
        text += texts.Text("Alert", "13") + " " + std::string(value);
    }
    return text;
}

void TellMoveResult(ITexts& texts, IPrompt& prompt, MoveResult result) {
    switch (result) {
        case MoveResult::Moved:
            return;
        case MoveResult::TargetExists:
            Warn(texts, prompt, "50");
            return;
        case MoveResult::SourceMissing:
        case MoveResult::Failed:
            Warn(texts, prompt, "51");
            return;
    }
}

void TellDeleteFailed(ITexts& texts, IPrompt& prompt) { Warn(texts, prompt, "52"); }

}  // namespace dovoviza
