#include "FakeSystem.h"

#include <cstdio>

#include "platform/Text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace dovoviza::test {

std::string FoldCase(std::string_view text) {
    std::u16string units = Utf8ToUtf16(text);
    for (char16_t& u : units) {
        if ((u >= u'a' && u <= u'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7) ||
            (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) || (u >= 0x430 && u <= 0x44F)) {
            u = static_cast<char16_t>(u - 0x20);
        } else if (u >= 0x450 && u <= 0x45F) {
            u = static_cast<char16_t>(u - 0x50);
        }
    }
    return Utf16ToUtf8(units);
}

bool WildcardMatch(std::string_view patternText, std::string_view nameText) {
    const std::u16string pattern = Utf8ToUtf16(patternText == "*.*" ? std::string("*") : FoldCase(patternText));
    const std::u16string name = Utf8ToUtf16(FoldCase(nameText));
    // Iterative glob with one back-track point for the latest "*".
    std::size_t p = 0, n = 0, starP = std::u16string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p, ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

std::string FakeSystem::FormatShortDate(const DateTime& v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d/%d/%04d", v.month, v.day, v.year);
    return buffer;
}

std::string FakeSystem::FormatLongTime(const DateTime& v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d %s", v.hour % 12 == 0 ? 12 : v.hour % 12, v.minute, v.second,
                  v.hour < 12 ? "AM" : "PM");
    return buffer;
}

std::string FakeSystem::ExpandEnvironment(const std::string& text) {
    std::string out;
    std::size_t at = 0;
    for (;;) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) return out + text.substr(at);
        const auto found = environment.find(FoldCase(text.substr(open + 1, close - open - 1)));
        out += text.substr(at, open - at);
        out += found != environment.end() ? found->second : text.substr(open, close - open + 1);
        at = close + 1;
    }
}

std::optional<std::string> FakeSystem::DecodeCodePage(const std::vector<std::uint8_t>& bytes, unsigned codePage) {
    if (bytes.empty()) return std::string();
#ifdef _WIN32
    const char* in = reinterpret_cast<const char*>(bytes.data());
    const int length = MultiByteToWideChar(codePage, 0, in, static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, 0, in, static_cast<int>(bytes.size()), wide.data(), length) != length) {
        return std::nullopt;
    }
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
#else
    const std::string name = codePage == 65001 ? "UTF-8" : "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(bytes.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    char* outPtr = out.data();
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
#endif
}

}  // namespace dovoviza::test
