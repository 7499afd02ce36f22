#pragma once
// Text conversions shared by the portable logic and the Win32 boundary.
// Inside the program every text is UTF-8. Windows hands us UTF-16 that may hold
// unpaired surrogates (registry value names can); those are carried through
// UTF-8 in the "generalised" three-byte form so that a name read from the
// system and written back is byte for byte the name it was.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dovoviza {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Registry string data as Windows stores it: UTF-16LE bytes. An odd last byte is ignored.
std::string DecodeUtf16Le(const std::vector<std::uint8_t>& bytes);
// UTF-16LE bytes of the text followed by one terminating NUL character.
std::vector<std::uint8_t> EncodeUtf16LeWithNul(std::string_view text);

// Number of characters (code points) in a UTF-8 text.
std::size_t CharCount(std::string_view text);
// Byte offset of the character at a 0-based character index (text.size() when past the end).
std::size_t ByteOffsetOfChar(std::string_view text, std::size_t charIndex);
// The first `count` characters of a text.
std::string LeftChars(std::string_view text, std::size_t count);

// Letter-case folding of the 26 ASCII letters only; used where the markers
// searched for are plain ASCII (".exe", ".lnk").
char AsciiLower(char c);
char AsciiUpper(char c);
bool EqualsAsciiNoCase(std::string_view a, std::string_view b);
bool EndsWithAsciiNoCase(std::string_view text, std::string_view suffix);

// Drops leading and trailing blanks (the space character only, as the
// original text functions did).
std::string TrimSpaces(std::string_view text);
std::string TrimLeadingSpaces(std::string_view text);
// The value of a hexadecimal digit in either letter case; -1 for any other character.
int HexDigitValue(char c);

// Text up to its first NUL character.
std::string CutAtNul(std::string_view text);

}  // namespace dovoviza
