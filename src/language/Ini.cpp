#include "language/Ini.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "platform/Text.h"

namespace dovoviza {

namespace {

constexpr unsigned kWesternCodePage = 1252;
constexpr std::string_view kBlanks = " \t";

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Windows drops one pair of matching quotes around the whole value.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The buffer of the system call held 354 UTF-16 units; a surrogate pair that
// would straddle the end is dropped whole rather than left half.
std::string CutToBuffer(std::string_view value) {
    if (value.size() <= kIniValueMaxUnits) return std::string(value);  // bytes >= units
    std::u16string units = Utf8ToUtf16(value);
    if (units.size() <= kIniValueMaxUnits) return std::string(value);
    std::size_t keep = kIniValueMaxUnits;
    const char16_t last = units[keep - 1];
    if (last >= 0xD800 && last <= 0xDBFF) --keep;
    units.resize(keep);
    return Utf16ToUtf8(units);
}

std::optional<int> ParseNumber(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// Calls `onLine` for every line of the text, whatever its line ends.
template <typename OnLine>
void ForEachLine(std::string_view text, OnLine onLine) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsLineEnd(text[end])) ++end;
        if (!onLine(text.substr(start, end - start))) return;
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

// The name inside "[name]", when the line is a section header.
std::optional<std::string_view> SectionHeader(std::string_view trimmedLine) {
    if (trimmedLine.empty() || trimmedLine.front() != '[') return std::nullopt;
    const std::size_t close = trimmedLine.rfind(']');
    if (close == 0 || close == std::string_view::npos) return std::nullopt;
    return TrimBlanks(trimmedLine.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

KeyLine SplitKeyLine(std::string_view trimmedLine) {
    const std::size_t equals = trimmedLine.find('=');
    if (equals == std::string_view::npos) return {trimmedLine, {}};
    return {TrimBlanks(trimmedLine.substr(0, equals)), TrimBlanks(trimmedLine.substr(equals + 1))};
}

// CharacterSet, looked up in the undecoded bytes: it names the code page
// needed to decode the rest. Headers and keys are ASCII, CR and LF are never
// trail bytes of a double-byte code page, and a trail byte that looks like
// '[' cannot start a line, so reading line starts and keys is safe; '=' is
// below every trail-byte range, so the first '=' on a line is the real one.
std::optional<int> RawCharacterSet(const std::vector<std::uint8_t>& bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    bool inLanguage = false;
    bool languageSeen = false;
    std::optional<int> result;
    ForEachLine(text, [&](std::string_view line) {
        line = TrimBlanks(line);
        if (const auto name = SectionHeader(line)) {
            if (languageSeen) return false;  // only the first LANGUAGE section counts
            inLanguage = EqualsAsciiNoCase(*name, "LANGUAGE");
            languageSeen = inLanguage;
            return true;
        }
        if (!inLanguage || line.empty()) return true;
        const KeyLine keyLine = SplitKeyLine(line);
        if (!EqualsAsciiNoCase(keyLine.key, "CharacterSet")) return true;
        result = ParseNumber(Unquote(keyLine.value));
        return false;
    });
    return result;
}

std::string Latin1ToUtf8(const std::vector<std::uint8_t>& bytes) {
    std::u16string units(bytes.begin(), bytes.end());
    return Utf16ToUtf8(units);
}

std::string DecodeFile(ISystem& system, const std::vector<std::uint8_t>& bytes) {
    const auto startsWith = [&bytes](std::initializer_list<std::uint8_t> mark) {
        return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
    };
    if (startsWith({0xEF, 0xBB, 0xBF})) {
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()) + 3, bytes.size() - 3);
        return Utf16ToUtf8(Utf8ToUtf16(text));  // invalid sequences become U+FFFD
    }
    if (startsWith({0xFF, 0xFE})) {
        return DecodeUtf16Le(std::vector<std::uint8_t>(bytes.begin() + 2, bytes.end()));
    }
    if (startsWith({0xFE, 0xFF})) {
        std::vector<std::uint8_t> swapped(bytes.begin() + 2, bytes.end());
        for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
        return DecodeUtf16Le(swapped);
    }
    const unsigned codePage = CharacterSetToCodePage(RawCharacterSet(bytes).value_or(0));
    if (auto text = system.DecodeCodePage(bytes, codePage)) return *std::move(text);
    // A code page the system lacks, or bytes it rejects: Western text is the
    // best guess, and Latin-1 never fails.
    if (codePage != kWesternCodePage) {
        if (auto text = system.DecodeCodePage(bytes, kWesternCodePage)) return *std::move(text);
    }
    return Latin1ToUtf8(bytes);
}

}  // namespace

std::optional<int> ParseIniNumber(std::string_view text) { return ParseNumber(text); }

unsigned CharacterSetToCodePage(int characterSet) {
    switch (characterSet) {
        case 0: return 1252;    // ANSI_CHARSET
        case 1: return 1252;    // DEFAULT_CHARSET
        case 128: return 932;   // SHIFTJIS_CHARSET
        case 129: return 949;   // HANGUL_CHARSET
        case 134: return 936;   // GB2312_CHARSET
        case 136: return 950;   // CHINESEBIG5_CHARSET
        case 161: return 1253;  // GREEK_CHARSET
        case 162: return 1254;  // TURKISH_CHARSET
        case 163: return 1258;  // VIETNAMESE_CHARSET
        case 177: return 1255;  // HEBREW_CHARSET
        case 178: return 1256;  // ARABIC_CHARSET
        case 186: return 1257;  // BALTIC_CHARSET
        case 204: return 1251;  // RUSSIAN_CHARSET
        case 222: return 874;   // THAI_CHARSET
        case 238: return 1250;  // EASTEUROPE_CHARSET
        default: return kWesternCodePage;
    }
}

std::string LanguageFilePath(const std::string& programFolder, const std::string& languageName) {
    return programFolder + "\\Language\\" + (languageName.empty() ? "English" : languageName) + ".lng";
}

LanguageFile LanguageFile::Load(IFileSystem& files, ISystem& system, const std::string& path) {
    const auto bytes = files.ReadSmallFile(path, kLanguageFileMaxBytes);
    if (!bytes) return LanguageFile();
    return FromBytes(system, *bytes);
}

LanguageFile LanguageFile::FromBytes(ISystem& system, const std::vector<std::uint8_t>& bytes) {
    LanguageFile file;
    file.system_ = &system;
    file.Parse(DecodeFile(system, bytes));
    return file;
}

void LanguageFile::Parse(const std::string& text) {
    Section* current = nullptr;  // lines before the first header belong nowhere
    ForEachLine(text, [&](std::string_view line) {
        line = TrimBlanks(line);
        if (line.empty()) return true;
        if (const auto name = SectionHeader(line)) {
            current = &sections_.emplace_back(Section{system_->ToUpper(std::string(*name)), {}});
            return true;
        }
        if (current) {
            const KeyLine keyLine = SplitKeyLine(line);
            current->entries.push_back(
                {system_->ToUpper(std::string(keyLine.key)), CutToBuffer(Unquote(keyLine.value))});
        }
        return true;
    });
}

std::string LanguageFile::Get(const std::string& section, const std::string& key) const {
    if (sections_.empty()) return {};
    // Blanks around the names asked for go, as they went from the file's names.
    const std::string upperSection = system_->ToUpper(std::string(TrimBlanks(section)));
    for (const Section& s : sections_) {
        if (s.upperName != upperSection) continue;
        const std::string upperKey = system_->ToUpper(std::string(TrimBlanks(key)));
        for (const Entry& e : s.entries) {
            if (e.upperKey == upperKey) return e.value;
        }
        return {};  // a later section of the same name is never read
    }
    return {};
}

std::size_t LanguageFile::AddMissing(const LanguageFile& other) {
    if (system_ == nullptr) system_ = other.system_;
    std::size_t added = 0;
    for (const Section& theirs : other.sections_) {
        Section* ours = nullptr;
        for (Section& s : sections_) {
            if (s.upperName == theirs.upperName) {
                ours = &s;
                break;
            }
        }
        if (ours == nullptr) ours = &sections_.emplace_back(Section{theirs.upperName, {}});
        for (const Entry& entry : theirs.entries) {
            bool present = false;
            for (const Entry& e : ours->entries) present = present || e.upperKey == entry.upperKey;
            if (!present) {
                ours->entries.push_back(entry);
                ++added;
            }
        }
    }
    return added;
}

std::optional<int> LanguageFile::CharacterSet() const {
    return ParseNumber(Get("LANGUAGE", "CharacterSet"));
}

}  // namespace dovoviza
