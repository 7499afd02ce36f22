#pragma once
// The journal of what the program saw and did: history.jsonl in a folder of
// its own, UTF-8, one JSON object per line, appended with each change. A torn
// last line (a crash mid-write) is skipped on reading. At 1 MB the file rolls
// over to history.1.jsonl, so two files are kept. A folder entry that is
// deleted leaves a copy of its file in deleted\ beside the journal; copies no
// line names any more are removed when the journal rolls over.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/EntryStore.h"
#include "platform/Platform.h"

namespace dovoviza {

struct JournalRecord {
    std::string time = {};     // ISO 8601, UTC
    std::string action = {};   // new, allowed, disabled, enabled, deleted, created, edited,
                               // kept-disabled, restored, failed
    std::string place = {};    // the Section text
    std::string name = {};     // the value's or file's real name
    std::string command = {};
    std::string type = {};     // REG_SZ, ... or "file"
    std::string data = {};     // a registry value's bytes in hex
    std::string store = {};    // "disabled" for an entry of a "-Disabled" store
    std::string copy = {};     // the name of a deleted file's copy in the deleted folder
    std::string reason = {};   // why it failed
    bool operator==(const JournalRecord&) const = default;
};

// One line of the journal, without its line break, and back.
std::string JournalLine(const JournalRecord& record);
std::optional<JournalRecord> ParseJournalLine(std::string_view line);

// Hex of bytes ("01FF") and back; nothing for text that is not hex.
std::string HexText(const std::vector<std::uint8_t>& bytes);
std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view text);

class IJournal {
public:
    virtual ~IJournal() = default;
    // Appends the record, stamped with the time now.
    virtual void Write(JournalRecord record) = 0;
    // Copies a folder entry's file into deleted\ before it goes; the copy's
    // name, or empty when it could not be kept.
    virtual std::string KeepCopy(const std::string& file) = 0;
};

class Journal : public IJournal {
public:
    static constexpr std::uint64_t kRollOverBytes = 1024 * 1024;

    // `folder` is the journal's own folder; it is made when first written.
    Journal(IFileSystem& files, ISystem& system, std::string folder);

    void Write(JournalRecord record) override;
    std::string KeepCopy(const std::string& file) override;

    // Every readable record of both files, newest first.
    std::vector<JournalRecord> Read() const;
    std::string CopyPath(const std::string& copy) const { return folder_ + "\\deleted\\" + copy; }

private:
    void RollOver();

    IFileSystem& files_;
    ISystem& system_;
    std::string folder_;
};

// What the journal keeps of an entry as it is now in its store: place, name,
// command, type and, for a registry value, its exact bytes.
JournalRecord RecordOf(const Platform& platform, const StartupFolderPaths& folders, const EntryRef& entry,
                       std::string action);

// The record of an entry about to be deleted; a folder entry's file is
// copied into deleted\ first, so that it can come back with its content.
JournalRecord BeforeDelete(IJournal* journal, const Platform& platform, const StartupFolderPaths& folders,
                           const EntryRef& entry);

// Writes one record when there is a journal.
void Note(IJournal* journal, JournalRecord record);

}  // namespace dovoviza
