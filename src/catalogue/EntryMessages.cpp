#include "catalogue/EntryMessages.h"

namespace dovoviza {

namespace {

void Warn(ITexts& texts, IPrompt& prompt, const TextKey& key) {
    prompt.Show(texts.Get(key), kAppTitle, MsgStyle::Exclamation);
}

}  // namespace

std::string DeleteQuestion(ITexts& texts, const StartupLocation& location, std::string_view name,
                           std::string_view value) {
    std::string text = texts.Get(lang::kAddSection) + " " + std::string(location.section) + "\r\n";
    if (location.IsRegistry()) {
        text += texts.Get(lang::kAddName) + " " + std::string(name) + "\r\n";
        text += texts.Get(lang::kAddValue) + " " + std::string(value);
    } else {
        text += texts.Get(lang::kAlertFile) + " " + std::string(value);
    }
    return text;
}

void TellMoveResult(ITexts& texts, IPrompt& prompt, MoveResult result) {
    switch (result) {
        case MoveResult::Moved:
            return;
        case MoveResult::TargetExists:
            Warn(texts, prompt, lang::kMoveTargetExists);
            return;
        case MoveResult::SourceMissing:
        case MoveResult::Failed:
            Warn(texts, prompt, lang::kMoveFailed);
            return;
    }
}

void TellDeleteFailed(ITexts& texts, IPrompt& prompt) { Warn(texts, prompt, lang::kDeleteFailed); }

}  // namespace dovoviza
