#pragma once
// What the user does to the selected row of the main list: disable, enable,
// delete, execute, show the file's properties. Each asks its questions through
// the prompt and changes the stores only through EntryStore, so an entry is
// never lost on the way.


#include "catalogue/MainList.h"
#include "history/Journal.h"
#include "language/Texts.h"
#include "platform/Platform.h"
#include "platform/Prompt.h"

namespace dovoviza {


// Everything an operation works with; the main window builds one and keeps it.
struct OperationContext {
    const Platform& platform;
    ITexts& texts;
    IPrompt& prompt;
    MainList& list;
    IJournal* journal = nullptr;  // where every change is noted, when there is one
};

// Moves the selected entry into its location's disabled store (or back) and
// marks its row, without reloading. Refused, with a message, while a row of the
// same name and Section already has the target status. True when the window
// must redraw the counts.
bool DisableSelected(const OperationContext& context);
bool EnableSelected(const OperationContext& context);

// Asks, then deletes the entry the question named from the store its status
// says, and reloads the list whatever the answer. True when the list was
// reloaded (nothing happens without a selected row).
bool DeleteSelected(const OperationContext& context);

// Starts the selected entry's command now; a failure is reported. True when it started.
bool ExecuteSelected(const OperationContext& context);

// Opens the shell's properties sheet of the selected entry's file. True when
// the shell showed it; a failure is not reported.
bool ShowSelectedProperties(const OperationContext& context);

// The command line ExecuteSelected starts for a row (quoted unless it already
// begins with a quote).
std::string ExecuteCommandLine(const StartupItem& row);

// The file whose properties ShowSelectedProperties shows for a row.
std::string PropertiesPath(const StartupItem& row, const StartupFolderPaths& folders);

}  // namespace dovoviza
