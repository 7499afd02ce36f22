#pragma once
// A system with fixed, predictable answers: US-style dates, a settable decimal
// symbol, Windows version and WOW64 flag. Its upper-casing is also how the
// other doubles compare key paths, value names and file names: without regard
// to case, across more than ASCII, as Windows does.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/System.h"

namespace dovoviza::test {

// Upper-cases ASCII, Latin-1, Greek and Cyrillic letters; other text is kept.
std::string FoldCase(std::string_view text);

struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return FoldCase(a) < FoldCase(b); }
};

// Matches a name against a pattern with "*" and "?", ignoring case. "*.*"
// matches every name, with or without an extension, as on Windows.
bool WildcardMatch(std::string_view pattern, std::string_view name);

inline bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

class FakeSystem : public ISystem {
public:
    std::optional<WindowsVersion> version = WindowsVersion{2, 6, 2};
    bool wow64 = false;
    std::string programFolder = "C:\\Program Files\\dovoviza";
    std::string programName = "dovoviza";
    std::string systemFolder = "C:\\windows\\system32";
    std::string decimalSymbol = ".";
    // The environment ExpandEnvironment uses, names in capitals.
    std::map<std::string, std::string> environment = {{"SYSTEMROOT", "C:\\windows"}};

    std::optional<WindowsVersion> Version() override { return version; }
    bool IsWow64() override { return wow64; }
    std::string ProgramFolder() override { return programFolder; }
    std::string ProgramName() override { return programName; }
    std::string SystemFolder() override { return systemFolder; }
    // Month/day/year, as in the United States.
    std::string FormatShortDate(const DateTime& value) override;
    // Hours without leading zero, minutes and seconds with, and AM or PM.
    std::string FormatLongTime(const DateTime& value) override;
    std::string DecimalSymbol() override { return decimalSymbol; }
    DateTime now{2026, 12, 8, 9, 30, 0};
    DateTime NowUtc() override { return now; }
    std::string ExpandEnvironment(const std::string& text) override;
    std::string ToUpper(const std::string& text) override { return FoldCase(text); }
    // Real decoding (iconv natively, the system's converter on Windows).
    std::optional<std::string> DecodeCodePage(const std::vector<std::uint8_t>& bytes, unsigned codePage) override;
};

}  // namespace dovoviza::test
