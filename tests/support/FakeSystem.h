#pragma once
// A system with fixed, predictable answers: US-style dates, a settable decimal
// symbol, Windows version and WOW64 flag.

#include <optional>
#include <string>

#include "platform/System.h"

namespace dovoviza::test {

class FakeSystem : public ISystem {
public:
    std::optional<WindowsVersion> version = WindowsVersion{2, 6, 2};
    bool wow64 = false;
    std::string programFolder = "C:\\Program Files\\dovoviza";
    std::string programName = "dovoviza";
    std::string systemFolder = "C:\\windows\\system32";
    std::string decimalSymbol = ".";

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
    // Upper-cases ASCII, Latin-1 and Cyrillic letters.
    std::string ToUpper(const std::string& text) override;
    // Real decoding (iconv natively, the system's converter on Windows).
    std::optional<std::string> DecodeCodePage(const std::vector<std::uint8_t>& bytes,
                                              unsigned codePage) override;
};

}  // namespace dovoviza::test
