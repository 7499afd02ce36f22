#include "catalogue/CommandText.h"

#include "platform/Text.h"

namespace dovoviza {

std::size_t FindExe(std::string_view text, bool last) {
    // ".exe" is ASCII, so folding ASCII letters keeps every byte offset valid.
    std::string folded(text);
    for (char& c : folded) c = AsciiLower(c);
    return last ? folded.rfind(".exe") : folded.find(".exe");
}

std::string KeepThroughCharAfterExe(std::string_view text, std::size_t exeOffset) {
    std::size_t end = exeOffset + 4;
    if (end < text.size()) end += ByteOffsetOfChar(text.substr(end), 1);
    return std::string(text.substr(0, end));
}

std::string DropFirstAndLastChar(std::string_view text) {
    const std::size_t count = CharCount(text);
    if (count < 2) return std::string(text);
    const std::size_t from = ByteOffsetOfChar(text, 1);
    const std::size_t to = ByteOffsetOfChar(text, count - 1);
    return std::string(text.substr(from, to - from));
}

}  // namespace dovoviza
