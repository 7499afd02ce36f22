#pragma once
// Putting back an entry the journal saw go: a deleted entry, or a copy the
// watchdog removed. It comes back exactly as it was: the same place and
// store, name, type and bytes, or the file with its content.

#include <string>

#include "history/Journal.h"

namespace dovoviza {

enum class RestoreResult {
    Restored,
    NotRestorable,  // not a deleted entry nor a removed copy, or from no known place
    AlreadyThere,   // the place holds it as it was
    Occupied,       // the place holds a different entry of that name
    CopyMissing,    // the saved file or bytes are gone
    Failed,         // the system refused: nothing changed
};

// True for the records Restore can put back.
bool Restorable(const JournalRecord& record);

// Puts the entry back and notes it in the journal.
RestoreResult Restore(const Platform& platform, const StartupFolderPaths& folders, Journal& journal,
                      const JournalRecord& record);

}  // namespace dovoviza
