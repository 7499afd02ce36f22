// Any texts as the fields of exported entries: the CSV reads back as the same
// fields, and each JSON line holds one entry whose strings read back exactly.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "history/Export.h"

using namespace dovoviza;

namespace {

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

// RFC 4180, as a spreadsheet reads it.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += c, ++i;
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(field), field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.back().push_back(field), field.clear();
            rows.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    rows.pop_back();  // after the last line break
    return rows;
}

// The string values of one JSON line, in order.
std::vector<std::string> ReadJsonStrings(const std::string& line) {
    std::vector<std::string> strings;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '"') continue;
        std::string s;
        for (++i; line[i] != '"'; ++i) {
            if (line[i] != '\\') {
                s += line[i];
                continue;
            }
            ++i;
            if (line[i] == 'u') {
                s += static_cast<char>(std::stoi(line.substr(i + 1, 4), nullptr, 16));
                i += 4;
            } else {
                s += line[i];
            }
        }
        strings.push_back(s);
    }
    return strings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Fields are cut at byte 0x1F; records at 0x1E.
    std::vector<ExportRecord> records(1);
    std::size_t field = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0x1E) {
            records.emplace_back();
            field = 0;
        } else if (data[i] == 0x1F) {
            field = (field + 1) % kExportFieldCount;
        } else {
            records.back()[field] += static_cast<char>(data[i]);
        }
    }
    const std::string csv = CsvText(records);
    Check(csv.rfind("\xEF\xBB\xBF", 0) == 0);
    const auto rows = ReadCsv(csv.substr(3));
    Check(rows.size() == records.size() + 1);
    for (std::size_t r = 0; r < records.size(); ++r) {
        Check(rows[r + 1].size() == kExportFieldCount);
        for (std::size_t f = 0; f < kExportFieldCount; ++f) Check(rows[r + 1][f] == records[r][f]);
    }
    const std::string json = JsonLinesText(records);
    std::size_t start = 0;
    for (const ExportRecord& record : records) {
        const std::size_t end = json.find('\n', start);
        Check(end != std::string::npos);
        const auto strings = ReadJsonStrings(json.substr(start, end - start));
        Check(strings.size() == 2 * kExportFieldCount);
        for (std::size_t f = 0; f < kExportFieldCount; ++f) Check(strings[2 * f + 1] == record[f]);
        start = end + 1;
    }
    Check(start == json.size());
    return 0;
}
