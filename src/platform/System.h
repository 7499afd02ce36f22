#pragma once
// The process and the user's regional settings.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace dovoviza {

struct WindowsVersion {
    std::uint32_t platformId = 0;  // 1 = Windows 9x family, 2 = NT family
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

class ISystem {
public:
    virtual ~ISystem() = default;
    virtual std::optional<WindowsVersion> Version() = 0;
    // True for a 32-bit process on 64-bit Windows.
    virtual bool IsWow64() = 0;
    // The folder of the running program, without a trailing backslash.
    virtual std::string ProgramFolder() = 0;
    // The running program's file name without folder and without ".exe".
    virtual std::string ProgramName() = 0;
    // The Windows system folder without a trailing backslash, or empty.
    virtual std::string SystemFolder() = 0;
    // Date and time in the user's regional short-date and long-time formats.
    virtual std::string FormatShortDate(const DateTime& value) = 0;
    virtual std::string FormatLongTime(const DateTime& value) = 0;
    virtual std::string DecimalSymbol() = 0;
    // The date and time now, in UTC.
    virtual DateTime NowUtc() = 0;
    // The text with every %NAME% of the process environment replaced by its
    // value, as logon does for an expandable command; unknown names stay.
    virtual std::string ExpandEnvironment(const std::string& text) = 0;
    // Upper-cases the way the system does for the user's locale.
    virtual std::string ToUpper(const std::string& text) = 0;
    // Decodes bytes of a code page (1252, 1251, 932, 65001, ...) to UTF-8;
    // nothing when the code page is unknown to the system.
    virtual std::optional<std::string> DecodeCodePage(const std::vector<std::uint8_t>& bytes,
                                                      unsigned codePage) = 0;
};

}  // namespace dovoviza
