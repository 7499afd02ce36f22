#include "operations/ItemOperations.h"

#include <string>

#include "catalogue/EntryMessages.h"
#include "catalogue/EntryStore.h"
#include "catalogue/StartupApproved.h"
#include "operations/CommandLine.h"

namespace dovoviza {

namespace {

const std::string kTitle(kAppTitle);

bool IsFolderRow(const StartupItem& row) {
    return row.location != nullptr && !row.location->IsRegistry();
}

// Clears Windows' flag of the row's entry; says so when it could not.
bool ClearFlag(const OperationContext& context, const StartupItem& row) {
    if (ClearWindowsSkip(context.platform.registry, *row.location, row.storedName)) return true;
    const auto key = ApprovedKeyOf(*row.location);
    context.prompt.Show(FillIn(context.texts.Get(lang::kWindowsFlagNotCleared),
                               {row.storedName, key ? ApprovedKeyText(*key) : std::string()}),
                        kTitle, MsgStyle::Exclamation);
    return false;
}

// Disable and enable are one move with the direction swapped.
bool MoveSelected(const OperationContext& context, bool disable) {
    MainList& list = context.list;
    if (list.RowCount() == 0) return true;
    const auto index = list.SelectedIndex();
    if (!index) return false;
    // A copy: the row must not change under us while a message box is open.
    const StartupItem row = list.Rows()[*index];

    // A live entry that Windows skips is enabled where it is.
    if (!disable && !row.IsDisabled() && row.skippedByWindows && row.location != nullptr) {
        if (ClearFlag(context, row)) {
            list.SetDisabled(*index, false, std::string());
            JournalRecord enabled = RecordOf(context.platform, list.Folders(), StoreOf(row), "enabled");
            enabled.reason = "Windows' flag cleared";
            Note(context.journal, std::move(enabled));
        }
        return true;
    }

    // A row of the same name and Section that already has the target status:
    // the selected row itself, or a namesake that would be in the way.
    for (const StartupItem& other : list.Rows()) {
        if (other.IsDisabled() == disable && other.Name() == row.Name() &&
            other.Section() == row.Section()) {
            context.prompt.Show(context.texts.Get(disable ? lang::kAlreadyDisabled : lang::kAlreadyEnabled), kTitle,
                                MsgStyle::Information);
            return false;
        }
    }

    if (row.location == nullptr) return true;

    const EntryRef entry = StoreOf(row);
    const MoveResult result = MoveEntry(context.platform, list.Folders(), entry);
    // Only once moved: the monitor deletes live copies of rows it sees as
    // disabled, so a status ahead of the stores would cost the entry.
    const char* const action = disable ? "disabled" : "enabled";
    if (result != MoveResult::Moved) {
        JournalRecord failed = RecordOf(context.platform, list.Folders(), entry, "failed");
        failed.reason = std::string(action) + ": " + MoveResultName(result);
        Note(context.journal, std::move(failed));
    } else {
        Note(context.journal, RecordOf(context.platform, list.Folders(), OtherStore(entry), action));
        list.SetDisabled(*index, disable, context.texts.Get(lang::kDisabledWord));
        // Enabled means started at the next logon: a flag of Windows' own
        // that says otherwise goes too.
        if (!disable) ClearFlag(context, row);
    }
    TellMoveResult(context.texts, context.prompt, result, list.Folders(), entry);
    return true;
}

}  // namespace

bool DisableSelected(const OperationContext& context) { return MoveSelected(context, true); }

bool EnableSelected(const OperationContext& context) { return MoveSelected(context, false); }

bool DeleteSelected(const OperationContext& context) {
    MainList& list = context.list;
    const StartupItem* selected = list.Selected();
    if (selected == nullptr) return false;
    // The question is modal and a monitor tick may reload the list while it
    // is open, so the answer applies to this copy, not to whatever row is
    // selected by then.
    const StartupItem row = *selected;
    ITexts& texts = context.texts;

    if (const StartupLocation* location = row.location) {
        const std::string question = DeleteQuestion(texts, *location, row.Name(), row.Value());
        const std::string caption = texts.Get(location->IsRegistry() ? lang::kDeleteRegistryCaption : lang::kDeleteFolderCaption);
        if (context.prompt.Show(question, caption, MsgStyle::Question) == kAnswerYes) {
            JournalRecord record = BeforeDelete(context.journal, context.platform, list.Folders(), StoreOf(row));
            const bool gone = DeleteEntryOrGone(context.platform, list.Folders(), StoreOf(row));
            if (!gone) record.action = "failed", record.reason = "deleted";
            Note(context.journal, std::move(record));
            // Gone from its store: its row goes too, without reading the rest again.
            if (gone && list.RemoveEntry(StoreOf(row))) return true;
            if (!gone) TellDeleteFailed(texts, context.prompt);
        }
    }
    list.LoadRegistryInfo();
    return true;
}

std::string ExecuteCommandLine(const StartupItem& row) {
    // A disabled shortcut lies in the hidden twin folder; its target is what
    // logon would start. Everything else runs as listed, a live shortcut included.
    std::string command =
        row.IsDisabled() && IsFolderRow(row) ? row.columns[kColProcessPath] : row.Command();
    if (command.empty() || command.front() != '"') command = "\"" + command + "\"";
    return command;
}

bool ExecuteSelected(const OperationContext& context) {
    const StartupItem* selected = context.list.Selected();
    if (selected == nullptr) return false;
    if (context.platform.shell.StartCommandLine(ExecuteCommandLine(*selected))) return true;
    context.prompt.Show(context.texts.Get(lang::kStartFailed), kTitle, MsgStyle::Exclamation);
    return false;
}

std::string PropertiesPath(const StartupItem& row, const StartupFolderPaths& folders) {
    if (row.IsDisabled() && IsFolderRow(row)) {
        // The shortcut itself, in the twin folder, under its own file name
        // (the last component of the Value path).
        return EntryFilePath(folders, StoreOf(row));
    }
    return SplitCommandForProperties(row.Command());
}

bool ShowSelectedProperties(const OperationContext& context) {
    const StartupItem* selected = context.list.Selected();
    if (selected == nullptr) return false;
    return context.platform.shell.ShowProperties(PropertiesPath(*selected, context.list.Folders()));
}

}  // namespace dovoviza
