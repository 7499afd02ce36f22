#pragma once
// A system with fixed, predictable answers: US-style dates, Windows version,
// a settable WOW64 flag and program folder. Its upper-casing is also how the
// other doubles compare key paths, value names and file names: without regard
// to case, across more than ASCII, as Windows does.

#include <optional>
#include <string>
#include <string_view>

#include "platform/System.h"

namespace dovoviza::test {

// Upper-cases ASCII, Latin-1, Greek and Cyrillic letters; other text is kept.
std::string FoldCase(std::string_view text);

struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return FoldCase(a) < FoldCase(b);
    }
};

// Drops the trailing characters that are among `chars`.
inline std::string TrimEnd(std::string text, std::string_view chars) {
    text.erase(text.find_last_not_of(chars) + 1);
    return text;
}

class FakeSystem : public ISystem {
public:
    bool wow64 = false;
    std::string programFolder = "C:\\Program Files\\dovoviza";

    std::optional<WindowsVersion> Version() override { return WindowsVersion{2, 6, 2}; }
    bool IsWow64() override { return wow64; }
    std::string ProgramFolder() override { return programFolder; }
    std::string ProgramName() override { return "dovoviza"; }
    std::string SystemFolder() override { return "C:\\windows\\system32"; }
    // Month/day/year; hours without leading zero, and AM or PM.
    std::string FormatShortDate(const DateTime& value) override;
    std::string FormatLongTime(const DateTime& value) override;
    std::string DecimalSymbol() override { return "."; }
    DateTime NowUtc() override { return {2026, 12, 8, 9, 30, 0}; }
    // The environment holds SYSTEMROOT (C:\windows) only; other names stay.
    std::string ExpandEnvironment(const std::string& text) override;
    std::string ToUpper(const std::string& text) override { return FoldCase(text); }
    // Real decoding (iconv natively, the system's converter on Windows).
    std::optional<std::string> DecodeCodePage(const std::vector<std::uint8_t>& bytes,
                                              unsigned codePage) override;
};

}  // namespace dovoviza::test
