#include "monitor/AlertActions.h"

#include <utility>

#include "catalogue/EntryMessages.h"
#include "catalogue/EntryStore.h"
#include "catalogue/MainList.h"
#include "platform/Text.h"

namespace dovoviza {

namespace {

constexpr std::size_t kLongestValueWithoutTooltip = 60;

}  // namespace

AlertActions::AlertActions(const Platform& platform, ITexts& texts, IPrompt& prompt,
                           MainList& mainList, std::function<void()> listChanged, IJournal* journal)
    : platform_(platform),
      texts_(texts),
      prompt_(prompt),
      mainList_(mainList),
      listChanged_(std::move(listChanged)),
      journal_(journal) {}

AlertOutcome AlertActions::Allow(const AlertEntry& entry) {
    if (entry.location != nullptr) {
        Note(journal_, RecordOf(platform_, mainList_.Folders(), entry.Live(), "allowed"));
    }
    return AlertOutcome::Close;
}

AlertOutcome AlertActions::Disable(const AlertEntry& entry) {
    if (entry.location == nullptr) {
        Reload();
        return AlertOutcome::StayOpen;
    }
    const StartupFolderPaths& folders = mainList_.Folders();
    const MoveResult result = MoveEntry(platform_, folders, entry.Live());
    if (result == MoveResult::Moved) {
        Note(journal_, RecordOf(platform_, folders, OtherStore(entry.Live()), "disabled"));
    }
    if (result != MoveResult::Moved || !mainList_.MarkDisabled(entry.Live(), texts_.Get(lang::kDisabledWord))) {
        mainList_.LoadRegistryInfo();
    }
    if (listChanged_) listChanged_();
    // Found in the disabled store (or moved there meanwhile): it is disabled
    // already, which is all that was asked.
    if (result == MoveResult::Moved ||
        (result == MoveResult::SourceMissing &&
         EntryExists(platform_, folders, EntryRef{entry.location, true, entry.storedName}))) {
        return AlertOutcome::Close;
    }
    TellMoveResult(texts_, prompt_, result, folders, entry.Live());
    return AlertOutcome::StayOpen;
}

AlertOutcome AlertActions::Delete(const AlertEntry& entry) {
    if (entry.location == nullptr) {
        Reload();
        return AlertOutcome::StayOpen;
    }
    const std::string caption = texts_.Get(entry.location->IsRegistry() ? lang::kAlertDeleteRegistryCaption : lang::kAlertDeleteFolderCaption);
    if (prompt_.Show(DeletePrompt(entry), caption, MsgStyle::Question) != kAnswerYes) {
        Reload();
        return AlertOutcome::StayOpen;
    }
    // The answer applies to this alert's own entry, whatever ticks ran while
    // the question was open.
    JournalRecord record = BeforeDelete(journal_, platform_, mainList_.Folders(), entry.Live());
    const bool gone = DeleteEntryOrGone(platform_, mainList_.Folders(), entry.Live());
    if (!gone) record.action = "failed", record.reason = "deleted";
    Note(journal_, std::move(record));
    if (!gone || !mainList_.RemoveEntry(entry.Live())) mainList_.LoadRegistryInfo();
    if (listChanged_) listChanged_();
    if (gone) return AlertOutcome::Close;
    TellDeleteFailed(texts_, prompt_);
    return AlertOutcome::StayOpen;
}

std::string AlertActions::DeletePrompt(const AlertEntry& entry) {
    if (entry.location == nullptr) return {};
    return DeleteQuestion(texts_, *entry.location, entry.name, entry.value);
}

void AlertActions::Reload() {
    mainList_.LoadRegistryInfo();
    if (listChanged_) listChanged_();
}

std::string ValueTooltip(const std::string& value) {
    return CharCount(value) > kLongestValueWithoutTooltip ? value : std::string();
}

bool ShowsQuestionIcon(const std::string& path, ITexts& texts) {
    return path.empty() || path == texts.Get(lang::kAlertFileNotFound);
}

}  // namespace dovoviza
