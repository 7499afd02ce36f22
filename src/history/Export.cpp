#include "history/Export.h"

#include <cstdio>
#include <map>

#include "catalogue/RegistryAccess.h"
#include "catalogue/StartupApproved.h"
#include "history/Json.h"
#include "platform/Text.h"

namespace dovoviza {

const std::array<const char*, kExportFieldCount> kExportFieldNames = {
    "Name",    "Command", "Place",   "Enabled",  "WindowsState", "Type",     "Product", "Description",
    "Company", "Version", "Path",    "Size",     "Created",      "Accessed", "Modified", "Exists"};

namespace {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::optional<ExportFormat> ExportFormatOf(std::string_view path) {
    if (EndsWithAsciiNoCase(path, ".csv")) return ExportFormat::Csv;
    if (EndsWithAsciiNoCase(path, ".jsonl")) return ExportFormat::JsonLines;
    return std::nullopt;
}

std::vector<ExportRecord> ExportRecords(const Platform& platform, const std::vector<StartupItem>& rows) {
    std::map<const StartupLocation*, ApprovedFlags> flags;
    std::vector<ExportRecord> records;
    records.reserve(rows.size());
    for (const StartupItem& row : rows) {
        ExportRecord r;
        r[0] = row.storedName;
        r[1] = row.Value();
        r[2] = row.Section();
        r[3] = row.IsDisabled() ? "no" : "yes";
        if (row.location != nullptr && ApprovedKeyOf(*row.location)) {
            auto found = flags.find(row.location);
            if (found == flags.end()) {
                found = flags.emplace(row.location, ApprovedFlags(platform.registry, platform.system,
                                                                  *row.location)).first;
            }
            r[4] = found->second.Skipped(row.storedName) ? "disabled" : "enabled";
        }
        r[5] = row.location != nullptr && !row.location->IsRegistry() ? "file" : RegTypeName(row.valueType);
        for (std::size_t i = 0; i < 4; ++i) r[6 + i] = row.columns[kColProductName + i];
        r[10] = row.program;
        if (row.programFound) {
            if (const auto details = platform.files.GetDetails(row.program)) {
                r[11] = std::to_string(details->size);
                r[12] = IsoUtcText(details->createdUtc);
                r[13] = IsoUtcText(details->accessedUtc);
                r[14] = IsoUtcText(details->modifiedUtc);
            }
        }
        r[15] = row.programFound ? "yes" : "no";
        records.push_back(std::move(r));
    }
    return records;
}

std::string CsvText(const std::vector<ExportRecord>& records) {
    std::string text = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < kExportFieldCount; ++i) {
        text += (i ? "," : "") + std::string(kExportFieldNames[i]);
    }
    text += "\r\n";
    for (const ExportRecord& record : records) {
        for (std::size_t i = 0; i < kExportFieldCount; ++i) text += (i ? "," : "") + CsvField(record[i]);
        text += "\r\n";
    }
    return text;
}

std::string JsonLinesText(const std::vector<ExportRecord>& records) {
    std::string text;
    for (const ExportRecord& record : records) {
        text += "{";
        for (std::size_t i = 0; i < kExportFieldCount; ++i) {
            text += (i ? "," : "") + JsonQuoted(kExportFieldNames[i]) + ":" + JsonQuoted(record[i]);
        }
        text += "}\n";
    }
    return text;
}

bool ExportList(const Platform& platform, const std::vector<StartupItem>& rows, const std::string& path) {
    const auto format = ExportFormatOf(path);
    if (!format) return false;
    const std::vector<ExportRecord> records = ExportRecords(platform, rows);
    const std::string text = *format == ExportFormat::Csv ? CsvText(records) : JsonLinesText(records);
    return platform.files.WriteWholeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace dovoviza
