#pragma once
// Moving and deleting one entry in its stores without ever losing it: a move
// copies the exact value (name, type, bytes) or moves the file first and
// removes the source only once the copy is in place; nothing is overwritten.

#include <string>

#include "catalogue/StartupItem.h"
#include "catalogue/StartupLocation.h"
#include "platform/Platform.h"

namespace dovoviza {

// One entry in one store: the location, which of its two stores, and the
// value's or file's real name.
struct EntryRef {
    const StartupLocation* location = nullptr;
    bool disabledStore = false;
    std::string storedName;
};

// Where a row's entry is stored.
inline EntryRef StoreOf(const StartupItem& row) {
    return EntryRef{row.location, row.disabled, row.storedName};
}

// Every result but Moved changed nothing.
enum class MoveResult {
    Moved,
    TargetExists,    // the other store already holds an entry of that name
    TargetIsFolder,  // a folder of that name stands where the file would go
    SourceMissing,   // the entry is not where it was listed
    InUse,           // another program has the file open
    AccessDenied,    // the system refused access
    Failed,          // the system refused for another reason
};

// The path of a folder entry's file in its store; empty for registry entries
// and for a Startup folder the shell could not name.
std::string EntryFilePath(const StartupFolderPaths& folders, const EntryRef& entry);

// "moved", "target exists", ...: how the journal names a result.
const char* MoveResultName(MoveResult result);

// The store as the user can find it: the key's full path ("HKEY_CURRENT_USER\...")
// or the folder's path.
std::string StoreText(const StartupFolderPaths& folders, const EntryRef& entry);

// The same entry in its location's other store (live <-> disabled).
EntryRef OtherStore(const EntryRef& entry);

// True when the entry is present in its store.
bool EntryExists(const Platform& platform, const StartupFolderPaths& folders, const EntryRef& entry);

// Moves the entry into the location's other store (live <-> disabled).
MoveResult MoveEntry(const Platform& platform, const StartupFolderPaths& folders,
                     const EntryRef& entry);

// Deletes the entry from its store; true when it is gone.
bool DeleteEntry(const Platform& platform, const StartupFolderPaths& folders, const EntryRef& entry);
// The same, counting an entry someone else removed meanwhile as gone, as asked.
bool DeleteEntryOrGone(const Platform& platform, const StartupFolderPaths& folders,
                       const EntryRef& entry);

}  // namespace dovoviza
