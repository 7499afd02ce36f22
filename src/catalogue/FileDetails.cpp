#include "catalogue/FileDetails.h"

#include <array>
#include <cstdio>
#include <memory>
#include <utility>

#include "platform/Text.h"

namespace dovoviza {

bool FileExist(IFileSystem& files, const std::string& path) { return files.NormalFileExists(path); }

void FileInfoClass::SetFileName(const std::string& path) {
    SetFileName(path, files_ != nullptr ? files_->GetDetails(path) : std::nullopt);
}

void FileInfoClass::SetFileName(const std::string& path, const std::optional<FileDetails>& details) {
    fileName_ = path;
    // A bare name is found through the library search: it has no date to tell
    // a change by and is read every time. A path with a folder that has no
    // details names no file, and has no strings.
    if (!details) {
        if (files_ != nullptr && path.find_first_of("\\/") != std::string::npos) {
            ClearStrings();
        } else {
            ReadStrings(path);
        }
        return;
    }
    std::string* const members[] = {&CompanyName, &FileDescription, &FileVersion, &ProductName,
                                     &ProductVersion};
    const auto known = remembered_.find(path);
    if (known != remembered_.end() && known->second.size == details->size &&
        known->second.modified == details->modified) {
        for (std::size_t i = 0; i < 5; ++i) *members[i] = known->second.strings[i];
        return;
    }
    ReadStrings(path);
    constexpr std::size_t kMostRemembered = 4096;
    if (remembered_.size() >= kMostRemembered) remembered_.clear();
    Remembered& entry = remembered_[path];
    entry.size = details->size;
    entry.modified = details->modified;
    for (std::size_t i = 0; i < 5; ++i) entry.strings[i] = *members[i];
}

void FileInfoClass::ClearStrings() {
    CompanyName.clear();
    FileDescription.clear();
    FileVersion.clear();
    ProductName.clear();
    ProductVersion.clear();
}

void FileInfoClass::ReadStrings(const std::string& path) {
    ClearStrings();

    const auto resource = versions_.Open(path);
    if (!resource) return;
    const auto translation = resource->FirstTranslation();
    if (!translation) return;

    // The block is named language then code page; the resource stores them the other way round.
    const std::uint32_t language = *translation & 0xFFFF;
    const std::uint32_t codePage = *translation >> 16;
    char block[9];
    std::snprintf(block, sizeof block, "%08X", static_cast<unsigned>((language << 16) | codePage));

    const std::array<std::pair<const char*, std::string*>, 5> fields{{
        {"CompanyName", &CompanyName},
        {"FileDescription", &FileDescription},
        {"FileVersion", &FileVersion},
        {"ProductName", &ProductName},
        {"ProductVersion", &ProductVersion},
    }};
    for (const auto& [name, member] : fields) {
        const auto text = resource->QueryString(std::string("\\StringFileInfo\\") + block + "\\" + name);
        if (!text) return;
        constexpr std::size_t kMaxChars = 254;
        *member = TrimSpaces(LeftChars(CutAtNul(*text), kMaxChars));
    }
}

std::string FormatFileSize(std::int64_t bytes, const std::string& decimalSymbol) {
    constexpr std::int64_t kKilo = 1024;
    struct Unit {
        std::int64_t size;
        const char* name;
    };
    constexpr std::array<Unit, 4> kUnits{{
        {kKilo * kKilo * kKilo * kKilo, " TB"},
        {kKilo * kKilo * kKilo, " GB"},
        {kKilo * kKilo, " MB"},
        {kKilo, " KB"},
    }};
    for (const auto& unit : kUnits) {
        if (bytes < unit.size) continue;
        // Rounded to hundredths in integers, half away from zero, so that no
        // binary fraction turns 1.125 into 1.12.
        const std::int64_t whole = bytes / unit.size;
        const std::int64_t rest = bytes % unit.size;
        const std::int64_t hundredths = whole * 100 + (rest * 200 + unit.size) / (2 * unit.size);
        std::string text = hundredths >= 100 ? std::to_string(hundredths / 100) : std::string();
        text += decimalSymbol;
        const std::int64_t fraction = hundredths % 100;
        if (fraction % 10 != 0) {
            text += static_cast<char>('0' + fraction / 10);
            text += static_cast<char>('0' + fraction % 10);
        } else if (fraction != 0) {
            text += static_cast<char>('0' + fraction / 10);
        }
        return text + unit.name;
    }
    return std::to_string(bytes) + " bytes";
}

std::string DateTimeText(ISystem& system, const DateTime& value) {
    std::string text = system.FormatShortDate(value);
    if (value.hour != 0 || value.minute != 0 || value.second != 0) {
        text += ' ';
        text += system.FormatLongTime(value);
    }
    return text;
}

}  // namespace dovoviza
