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

std::string FakeSystem::FormatShortDate(const DateTime& v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d/%d/%04d", v.month, v.day, v.year);
    return buffer;
}

std::string FakeSystem::FormatLongTime(const DateTime& v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d %s", v.hour % 12 == 0 ? 12 : v.hour % 12,
                  v.minute, v.second, v.hour < 12 ? "AM" : "PM");
    return buffer;
}

std::string FakeSystem::ExpandEnvironment(const std::string& text) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t open; (open = text.find('%', at)) != std::string::npos;) {
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string::npos) break;
        const std::string name = text.substr(open, close - open + 1);  // with its percent signs
        out += text.substr(at, open - at);
        out += FoldCase(name) == "%SYSTEMROOT%" ? "C:\\windows" : name;
        at = close + 1;
    }
    return out + text.substr(at);
}

std::optional<std::string> FakeSystem::DecodeCodePage(const std::vector<std::uint8_t>& bytes,
                                                      unsigned codePage) {
    if (bytes.empty()) return std::string();
#ifdef _WIN32
    // No code page makes more UTF-16 units than it has bytes.
    const int size = static_cast<int>(bytes.size());
    std::wstring wide(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes.data()),
                                           size, wide.data(), size);
    if (length <= 0) return std::nullopt;
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.begin() + length));
#else
    const std::string name = codePage == 65001 ? "UTF-8" : "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(bytes.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    char* outPtr = out.data();
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
#endif
}

}  // namespace dovoviza::test
