#pragma once
// The little JSON the history files need: flat objects of string values.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace dovoviza {

// "2026-12-08T09:30:00Z": a UTC time in ISO 8601.
std::string IsoUtcText(const DateTime& utc);

// The text as a JSON string, quotes included; bytes below 0x20 as \u00XX,
// everything else as it is (UTF-8).
std::string JsonQuoted(std::string_view text);

// The keys and string values of one object on one line, in order; nothing
// for anything else (a torn or foreign line).
std::optional<std::vector<std::pair<std::string, std::string>>> ParseFlatObject(std::string_view line);

}  // namespace dovoviza
