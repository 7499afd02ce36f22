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

void TellMoveResult(ITexts& texts, IPrompt& prompt, MoveResult result,
                    const StartupFolderPaths& folders, const EntryRef& entry) {
    const TextKey* key = nullptr;
    switch (result) {
        case MoveResult::Moved: return;
        case MoveResult::TargetExists: key = &lang::kMoveTargetExists; break;
        case MoveResult::TargetIsFolder: key = &lang::kMoveFolderInTheWay; break;
        case MoveResult::SourceMissing: key = &lang::kMoveSourceMissing; break;
        case MoveResult::InUse: key = &lang::kMoveInUse; break;
        case MoveResult::AccessDenied: key = &lang::kMoveAccessDenied; break;
        case MoveResult::Failed: key = &lang::kMoveFailed; break;
    }
    if (key == nullptr) return;
    // A missing entry is looked for where it was; every other failure is
    // about the store it was going to.
    const EntryRef store = result == MoveResult::SourceMissing ? entry : OtherStore(entry);
    prompt.Show(FillIn(texts.Get(*key), {entry.storedName, StoreText(folders, store)}), kAppTitle,
                MsgStyle::Exclamation);
}

void TellDeleteFailed(ITexts& texts, IPrompt& prompt) { Warn(texts, prompt, lang::kDeleteFailed); }

}  // namespace dovoviza
