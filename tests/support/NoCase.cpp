#include "NoCase.h"

#include "platform/Text.h"

namespace dovoviza::test {

namespace {

char16_t UpperUnit(char16_t u) {
    if ((u >= u'a' && u <= u'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7) ||
        (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) || (u >= 0x430 && u <= 0x44F)) {
        return static_cast<char16_t>(u - 0x20);
    }
    if (u >= 0x450 && u <= 0x45F) return static_cast<char16_t>(u - 0x50);
    return u;
}

bool Match(std::u16string_view pattern, std::u16string_view name) {
    // Iterative glob with one back-track point for the latest "*".
    std::size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::u16string units = Utf8ToUtf16(text);
    for (char16_t& u : units) u = UpperUnit(u);
    return Utf16ToUtf8(units);
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    const std::string folded = pattern == "*.*" ? std::string("*") : FoldCase(pattern);
    return Match(Utf8ToUtf16(folded), Utf8ToUtf16(FoldCase(name)));
}

bool HasWildcard(std::string_view text) {
    return text.find_first_of("*?") != std::string_view::npos;
}

}  // namespace dovoviza::test
