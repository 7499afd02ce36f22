#pragma once
// The running process and the user's regional settings.

#include "platform/System.h"

namespace dovoviza::win32 {

class Win32System final : public ISystem {
public:
    std::optional<WindowsVersion> Version() override;
    bool IsWow64() override;
    std::string ProgramFolder() override;
    std::string ProgramName() override;
    std::string SystemFolder() override;
    // Empty when the system rejects the date or time (year 0, month 13, ...).
    std::string FormatShortDate(const DateTime& value) override;
    std::string FormatLongTime(const DateTime& value) override;
    // Empty when the setting cannot be read.
    std::string DecimalSymbol() override;
    DateTime NowUtc() override;
    std::string ExpandEnvironment(const std::string& text) override;
    // The text unchanged when the system refuses to map it.
    std::string ToUpper(const std::string& text) override;
    std::optional<std::string> DecodeCodePage(const std::vector<std::uint8_t>& bytes,
                                              unsigned codePage) override;
};

}  // namespace dovoviza::win32
