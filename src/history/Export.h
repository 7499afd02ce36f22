#pragma once
// The whole list for administrators: every entry of every place, enabled and
// disabled, as CSV (UTF-8 with a byte-order mark, RFC 4180 quoting) or as
// JSON lines (one object per entry), chosen by the file's extension.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/StartupItem.h"
#include "platform/Platform.h"

namespace dovoviza {

enum class ExportFormat { Csv, JsonLines };

// ".csv" or ".jsonl" in any letter case; nothing for any other name.
std::optional<ExportFormat> ExportFormatOf(std::string_view path);

// The fields of one entry, named as the header row and the JSON keys name them.
inline constexpr std::size_t kExportFieldCount = 16;
extern const std::array<const char*, kExportFieldCount> kExportFieldNames;
using ExportRecord = std::array<std::string, kExportFieldCount>;

// One record per row, in the list's order. Windows' flags are read for every
// row of a place that keeps them, sizes and dates (ISO 8601, UTC) from the
// program file as it is now.
std::vector<ExportRecord> ExportRecords(const Platform& platform, const std::vector<StartupItem>& rows);

std::string CsvText(const std::vector<ExportRecord>& records);
std::string JsonLinesText(const std::vector<ExportRecord>& records);

// Writes the rows to the file in the format its extension names. False for
// another extension or when the file could not be written.
bool ExportList(const Platform& platform, const std::vector<StartupItem>& rows, const std::string& path);

}  // namespace dovoviza
