#pragma once
// Language files: INI files read with the Windows private-profile rules, but
// decoded by their own code page rather than the system's ANSI one, so that a
// Cyrillic or Japanese file reads correctly on any Windows.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language/TextKeys.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

namespace dovoviza {

// Larger files are not language files; they read as missing.
constexpr std::size_t kLanguageFileMaxBytes = 1024 * 1024;
// The system call read into a 355-character buffer; one went to the NUL.
constexpr std::size_t kIniValueMaxUnits = 354;

// The ANSI code page of a Windows font character set; 1252 for unknown sets.
unsigned CharacterSetToCodePage(int characterSet);

// A number as the language files write one ("204", "+0"); nothing for any
// other text.
std::optional<int> ParseIniNumber(std::string_view text);

// "<programFolder>\Language\<languageName>.lng", English when no name is stored.
std::string LanguageFilePath(const std::string& programFolder, const std::string& languageName);

// One language file, read and decoded once; a window that applies dozens of
// texts asks this instead of re-reading the file for each.
class LanguageFile {
public:
    // A file with no texts: every lookup gives empty text.
    LanguageFile() = default;

    // A missing, unreadable or oversized file gives an empty LanguageFile.
    static LanguageFile Load(IFileSystem& files, ISystem& system, const std::string& path);
    static LanguageFile FromBytes(ISystem& system, const std::vector<std::uint8_t>& bytes);

    // The value of a key, empty when the section or key is missing. Names match
    // without regard to letter case; the first matching section and key win.
    std::string Get(const std::string& section, const std::string& key) const;
    std::string Get(const TextKey& key) const {
        return Get(std::string(key.section), std::string(key.key));
    }

    // LANGUAGE/CharacterSet as a number; nothing when missing or not a number.
    std::optional<int> CharacterSet() const;

    // Takes every key of `other` that this file lacks (a key present with an
    // empty text counts as present). Returns how many it took.
    std::size_t AddMissing(const LanguageFile& other);

private:
    struct Entry {
        std::string upperKey;
        std::string value;
    };
    struct Section {
        std::string upperName;
        std::vector<Entry> entries;
    };

    void Parse(const std::string& text);

    ISystem* system_ = nullptr;
    std::vector<Section> sections_;
};

}  // namespace dovoviza
