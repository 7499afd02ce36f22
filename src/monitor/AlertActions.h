#pragma once
// What the alert's buttons do to the entry it names. They act on the entry's
// live store only, on its exact stored name, and reload the main list after a
// change; the window only shows the entry and closes when told to.

#include <functional>
#include <string>

#include "history/Journal.h"
#include "language/Texts.h"
#include "monitor/AlertEntry.h"
#include "platform/Platform.h"
#include "platform/Prompt.h"

namespace dovoviza {

class MainList;

enum class AlertOutcome { Close, StayOpen };

class AlertActions {
public:
    // Disable and Delete reload the main list whatever came of them, and then
    // call `listChanged`.
    AlertActions(const Platform& platform, ITexts& texts, IPrompt& prompt, MainList& mainList,
                 std::function<void()> listChanged = {}, IJournal* journal = nullptr);

    // Keeps the entry as it is.
    AlertOutcome Allow(const AlertEntry& entry);
    // The close box and Escape: the same as Allow.
    AlertOutcome Dismiss(const AlertEntry& entry) { return Allow(entry); }
    // Moves the entry into its disabled store, never over an entry of the same
    // name. A move that did not happen is reported and leaves the alert open.
    AlertOutcome Disable(const AlertEntry& entry);
    // Asks, then deletes the entry from its live store. No keeps the alert
    // open; so does a delete that failed, after saying so.
    AlertOutcome Delete(const AlertEntry& entry);

    // The confirmation's text: Section and Name and Value lines for a registry
    // entry, Section and File lines for a folder entry; empty for a Section
    // that is none of the ten.
    std::string DeletePrompt(const AlertEntry& entry);

private:
    void Reload();

    const Platform& platform_;
    ITexts& texts_;
    IPrompt& prompt_;
    MainList& mainList_;
    std::function<void()> listChanged_;
    IJournal* journal_;
};

// The value label's tooltip: the whole value when it is longer than 60
// characters, otherwise none (empty).
std::string ValueTooltip(const std::string& value);

// True when the alert shows the question mark rather than the program's icon:
// no program path, or the path is the missing-program word (Alert/10).
bool ShowsQuestionIcon(const std::string& path, ITexts& texts);

}  // namespace dovoviza
