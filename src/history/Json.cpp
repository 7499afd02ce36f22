#include "history/Json.h"

#include <cstdio>

#include "platform/Text.h"

namespace dovoviza {

namespace {

// Reads a JSON string starting at its opening quote; moves `at` past it.
std::optional<std::string> ReadString(std::string_view line, std::size_t& at) {
    if (at >= line.size() || line[at] != '"') return std::nullopt;
    std::string text;
    for (++at; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '"') {
            ++at;
            return text;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++at >= line.size()) return std::nullopt;
        switch (line[at]) {
            case '"': case '\\': case '/': text += line[at]; break;
            case 'n': text += '\n'; break;
            case 'r': text += '\r'; break;
            case 't': text += '\t'; break;
            case 'u': {
                if (at + 4 >= line.size()) return std::nullopt;
                unsigned code = 0;
                for (std::size_t i = 1; i <= 4; ++i) {
                    const int digit = HexDigitValue(line[at + i]);
                    if (digit < 0) return std::nullopt;
                    code = code * 16 + static_cast<unsigned>(digit);
                }
                // The writer escapes control bytes only.
                if (code >= 0x20) return std::nullopt;
                text += static_cast<char>(code);
                at += 4;
                break;
            }
            default: return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string IsoUtcText(const DateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

std::string JsonQuoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::optional<std::vector<std::pair<std::string, std::string>>> ParseFlatObject(std::string_view line) {
    std::vector<std::pair<std::string, std::string>> fields;
    std::size_t at = 0;
    if (line.empty() || line[at++] != '{') return std::nullopt;
    if (at < line.size() && line[at] == '}') return at + 1 == line.size() ? std::optional(fields) : std::nullopt;
    for (;;) {
        auto key = ReadString(line, at);
        if (!key || at >= line.size() || line[at++] != ':') return std::nullopt;
        auto value = ReadString(line, at);
        if (!value || at >= line.size()) return std::nullopt;
        fields.emplace_back(std::move(*key), std::move(*value));
        const char next = line[at++];
        if (next == '}') return at == line.size() ? std::optional(fields) : std::nullopt;
        if (next != ',') return std::nullopt;
    }
}

}  // namespace dovoviza
