#pragma once
// Small text steps shared by the two ways a command is cut into its program
// part. Positions are characters, not bytes: a command may hold any script.

#include <cstddef>
#include <string>
#include <string_view>

namespace dovoviza {

// Byte offset of the first (or last) ".exe" in any letter case, or npos.
std::size_t FindExe(std::string_view text, bool last);

// The text up to the ".exe" at that byte offset, the ".exe" itself and the one
// character after it (a closing quote or a blank, or nothing at the end).
std::string KeepThroughCharAfterExe(std::string_view text, std::size_t exeOffset);

// The text without its first and last character. A single character stays:
// there is nothing between the quotes to keep.
std::string DropFirstAndLastChar(std::string_view text);

}  // namespace dovoviza
