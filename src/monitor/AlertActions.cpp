#include "monitor/AlertActions.h"

#include <utility>

#include "catalogue/EntryStore.h"
#include "catalogue/MainList.h"
#include "catalogue/StartupLocation.h"
#include "platform/Text.h"

namespace dovoviza {

namespace {

constexpr const char* kTitle = kAppTitle;
constexpr std::size_t kLongestValueWithoutTooltip = 60;

EntryRef LiveEntry(const StartupLocation* location, const AlertEntry& entry) {
    return EntryRef{location, false, entry.storedName};
}

}  // namespace

AlertActions::AlertActions(const Platform& platform, ITexts& texts, IPrompt& prompt,
                           MainList& mainList, std::function<void()> listChanged)
    : platform_(platform),
      texts_(texts),
      prompt_(prompt),
      mainList_(mainList),
      listChanged_(std::move(listChanged)) {}

AlertOutcome AlertActions::Allow(const AlertEntry&) { return AlertOutcome::Close; }

AlertOutcome AlertActions::Disable(const AlertEntry& entry) {
    const StartupLocation* location = FindLocation(entry.section);
    if (location == nullptr) {
        Reload();
        return AlertOutcome::StayOpen;
    }
    const StartupFolderPaths& folders = mainList_.Folders();
    const EntryRef live = LiveEntry(location, entry);
    const MoveResult result = MoveEntry(platform_, folders, live);
    Reload();
    switch (result) {
        case MoveResult::Moved:
            return AlertOutcome::Close;
        case MoveResult::TargetExists:
            Warn("50");
            return AlertOutcome::StayOpen;
        case MoveResult::SourceMissing:
            // Found in the disabled store (or moved there meanwhile): it is
            // disabled already, which is all that was asked.
            if (EntryExists(platform_, folders, EntryRef{location, true, entry.storedName})) {
                return AlertOutcome::Close;
            }
            break;
        case MoveResult::Failed:
            break;
    }
    Warn("51");
    return AlertOutcome::StayOpen;
}

AlertOutcome AlertActions::Delete(const AlertEntry& entry) {
    const StartupLocation* location = FindLocation(entry.section);
    if (location == nullptr) {
        Reload();
        return AlertOutcome::StayOpen;
    }
    const std::string caption = texts_.Text("Alert", location->IsRegistry() ? "11" : "12");
    if (prompt_.Show(DeletePrompt(entry), caption, MsgStyle::Question) != kAnswerYes) {
        Reload();
        return AlertOutcome::StayOpen;
    }
    // The answer applies to this alert's own entry, whatever ticks ran while
    // the question was open.
    const StartupFolderPaths& folders = mainList_.Folders();
    const EntryRef live = LiveEntry(location, entry);
    const bool gone = DeleteEntry(platform_, folders, live) || !EntryExists(platform_, folders, live);
    Reload();
    if (gone) return AlertOutcome::Close;
    Warn("52");
    return AlertOutcome::StayOpen;
}

std::string AlertActions::DeletePrompt(const AlertEntry& entry) {
    const StartupLocation* location = FindLocation(entry.section);
    if (location == nullptr) return {};
    std::string text = texts_.Text("Add", "4") + " " + entry.section + "\r\n";
    if (location->IsRegistry()) {
        text += texts_.Text("Add", "2") + " " + entry.name + "\r\n";
        text += texts_.Text("Add", "3") + " " + entry.value;
    } else {
        text += texts_.Text("Alert", "13") + " " + entry.value;
    }
    return text;
}

void AlertActions::Reload() {
    mainList_.LoadRegistryInfo();
    if (listChanged_) listChanged_();
}

void AlertActions::Warn(const std::string& key) {
    prompt_.Show(texts_.Text("Main", key), kTitle, MsgStyle::Exclamation);
}

std::string ValueTooltip(const std::string& value) {
    return CharCount(value) > kLongestValueWithoutTooltip ? value : std::string();
}

bool ShowsQuestionIcon(const std::string& path, ITexts& texts) {
    return path.empty() || path == texts.Text("Alert", "10");
}

}  // namespace dovoviza
