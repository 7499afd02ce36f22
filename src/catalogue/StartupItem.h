#pragma once
// One row of the main list: an entry's fourteen column texts and where it
// stands: its location and which of the location's two stores holds it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "catalogue/StartupLocation.h"

namespace dovoviza {

constexpr std::size_t kColName = 0;
constexpr std::size_t kColValue = 1;
constexpr std::size_t kColSection = 2;
constexpr std::size_t kColStatus = 3;
constexpr std::size_t kColProductName = 4;
constexpr std::size_t kColDescription = 5;
constexpr std::size_t kColCompany = 6;
constexpr std::size_t kColVersion = 7;
constexpr std::size_t kColProcessPath = 8;
constexpr std::size_t kColFileSize = 9;
constexpr std::size_t kColDateCreated = 10;
constexpr std::size_t kColDateAccessed = 11;
constexpr std::size_t kColDateModified = 12;
constexpr std::size_t kColLocation = 13;
constexpr std::size_t kColumnCount = 14;

struct StartupItem {
    std::array<std::string, kColumnCount> columns;
    int icon = 0;  // index in the icon list, counted from 1; 0 = none
    // The value's or file's real name. The Name column drops leading blanks,
    // so anything that changes the store must use this one.
    std::string storedName;
    // The location it was read from; the Section column is its text.
    const StartupLocation* location = nullptr;
    // Read from a "-Disabled" store. Kept apart from the Status text, which a
    // language file may leave empty.
    bool disabled = false;
    // The program file the row describes (a shortcut's target), and whether
    // it was there when the row was read.
    std::string program;
    bool programFound = false;
    // A live entry that Windows' own flag tells not to start at logon.
    bool skippedByWindows = false;
    // A registry value's type; a folder entry counts as text.
    std::uint32_t valueType = RegType::String;
    // What logon starts: the Value with its environment variables expanded
    // when the value is an expandable string; empty when it is the Value.
    std::string expandedCommand;
    // Its program file's version strings, size, dates and icon are filled in
    // (a first-pass row of a load has none yet).
    bool detailsFilled = false;

    const std::string& Name() const { return columns[kColName]; }
    const std::string& Value() const { return columns[kColValue]; }
    const std::string& Section() const { return columns[kColSection]; }
    const std::string& Status() const { return columns[kColStatus]; }
    bool IsDisabled() const { return disabled; }
    // Will not start at the next logon: in a "-Disabled" store, or flagged by Windows.
    bool WillNotStart() const { return disabled || skippedByWindows; }
    const std::string& Command() const {
        return expandedCommand.empty() ? Value() : expandedCommand;
    }
};

}  // namespace dovoviza
