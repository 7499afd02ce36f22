#pragma once
// What the main window and the alert tell the user about one entry: the
// delete question and the message for a move that did not happen. Both ask
// with the same words, so they are built here once.

#include <string>
#include <string_view>

#include "catalogue/EntryStore.h"
#include "catalogue/StartupLocation.h"
#include "language/Texts.h"
#include "platform/Prompt.h"

namespace dovoviza {

// The delete question: Section, Name and Value lines for a registry entry,
// Section and File lines for a folder entry.
std::string DeleteQuestion(ITexts& texts, const StartupLocation& location, std::string_view name,
                           std::string_view value);

// Says why a move of the entry did not happen, naming it and the store
// concerned. Says nothing for a move that happened.
void TellMoveResult(ITexts& texts, IPrompt& prompt, MoveResult result,
                    const StartupFolderPaths& folders, const EntryRef& entry);

// Says that a delete failed (Main/52).
void TellDeleteFailed(ITexts& texts, IPrompt& prompt);

}  // namespace dovoviza
