#include "history/Journal.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "catalogue/RegistryAccess.h"
#include "history/Json.h"
#include "platform/Text.h"

namespace dovoviza {

namespace {

constexpr const char* kCurrent = "\\history.jsonl";
constexpr const char* kOlder = "\\history.1.jsonl";

// The record's fields by name, in the order they are written.
template <typename Record, typename Visit>
void EachField(Record& r, Visit visit) {
    visit("time", r.time);
    visit("action", r.action);
    visit("place", r.place);
    visit("name", r.name);
    visit("command", r.command);
    visit("type", r.type);
    visit("data", r.data);
    visit("store", r.store);
    visit("copy", r.copy);
    visit("reason", r.reason);
}

}  // namespace

std::string JournalLine(const JournalRecord& record) {
    std::string line = "{";
    int field = 0;
    EachField(record, [&](const char* key, const std::string& value) {
        // The first five are always there; the others only when they say something.
        if (field++ >= 5 && value.empty()) return;
        if (line.size() > 1) line += ',';
        line += JsonQuoted(key) + ":" + JsonQuoted(value);
    });
    return line + "}";
}

std::optional<JournalRecord> ParseJournalLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto fields = ParseFlatObject(line);
    if (!fields) return std::nullopt;
    JournalRecord record;
    for (const auto& read : *fields) {
        EachField(record, [&](const char* name, std::string& field) {
            if (read.first == name) field = read.second;
        });
    }
    if (record.time.empty() || record.action.empty()) return std::nullopt;
    return record;
}

std::string HexText(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigitValue(text[i]), low = HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

Journal::Journal(IFileSystem& files, ISystem& system, std::string folder)
    : files_(files), system_(system), folder_(std::move(folder)) {}

void Journal::Write(JournalRecord record) {
    if (folder_.empty() || !files_.CreateFolderPath(folder_)) return;
    record.time = IsoUtcText(system_.NowUtc());
    const std::string path = folder_ + kCurrent;
    if (const auto details = files_.GetDetails(path); details && details->size >= kRollOverBytes) RollOver();
    const std::string line = JournalLine(record) + "\n";
    static_cast<void>(files_.AppendToFile(path, std::vector<std::uint8_t>(line.begin(), line.end())));
}

void Journal::RollOver() {
    files_.RemoveFile(folder_ + kOlder);
    if (!files_.MoveFileNoReplace(folder_ + kCurrent, folder_ + kOlder)) return;
    // The copies of deleted files that no line names any more go with the old lines.
    std::set<std::string> named;
    for (const JournalRecord& record : Read()) {
        if (!record.copy.empty()) named.insert(record.copy);
    }
    for (const std::string& copy : files_.ListNormalFiles(folder_ + "\\deleted\\", "*")) {
        if (named.count(copy) == 0) files_.RemoveFile(CopyPath(copy));
    }
}

std::string Journal::KeepCopy(const std::string& file) {
    const std::string folder = folder_ + "\\deleted";
    if (folder_.empty() || !files_.CreateFolderPath(folder)) return {};
    const DateTime t = system_.NowUtc();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d-", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    const std::string base = file.substr(file.find_last_of('\\') + 1);
    for (int n = 1; n < 1000; ++n) {
        const std::string copy = stamp + (n > 1 ? std::to_string(n) + "-" : std::string()) + base;
        if (files_.GetDetails(CopyPath(copy))) continue;
        return files_.CopyFileTo(file, CopyPath(copy), true) ? copy : std::string();
    }
    return {};
}

std::vector<JournalRecord> Journal::Read() const {
    std::vector<JournalRecord> records;
    for (const char* name : {kCurrent, kOlder}) {
        const auto bytes = files_.ReadSmallFile(folder_ + name, 4 * kRollOverBytes);
        if (!bytes) continue;
        const std::string text(bytes->begin(), bytes->end());
        std::vector<JournalRecord> lines;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            if (auto record = ParseJournalLine(std::string_view(text).substr(start, end - start))) {
                lines.push_back(std::move(*record));
            }
            start = end + 1;
        }
        records.insert(records.end(), lines.rbegin(), lines.rend());
    }
    return records;
}

JournalRecord RecordOf(const Platform& platform, const StartupFolderPaths& folders, const EntryRef& entry,
                       std::string action) {
    JournalRecord record;
    record.action = std::move(action);
    record.name = entry.storedName;
    if (entry.disabledStore) record.store = "disabled";
    if (entry.location == nullptr) return record;
    record.place = std::string(entry.location->section);
    if (!entry.location->IsRegistry()) {
        record.type = "file";
        record.command = EntryFilePath(folders, entry);
        return record;
    }
    const auto value = ReadRegValue(platform.registry, entry.location->hive,
                                    std::string(entry.location->StoreKey(entry.disabledStore)), entry.storedName);
    if (value) {
        record.command = RegDataText(*value);
        record.type = RegTypeName(value->type);
        record.data = HexText(value->data);
    }
    return record;
}

JournalRecord BeforeDelete(IJournal* journal, const Platform& platform, const StartupFolderPaths& folders,
                           const EntryRef& entry) {
    JournalRecord record = RecordOf(platform, folders, entry, "deleted");
    if (journal != nullptr && record.type == "file") record.copy = journal->KeepCopy(record.command);
    return record;
}

void Note(IJournal* journal, JournalRecord record) {
    if (journal != nullptr) journal->Write(std::move(record));
}

}  // namespace dovoviza
