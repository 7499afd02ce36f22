#include "catalogue/FileDetails.h"

#include <array>
#include <cstdio>
#include <memory>
#include <utility>

#include "platform/Text.h"

namespace dovoviza {

bool FileExist(IFileSystem& files, const std::string& path) { return files.NormalFileExists(path); }

void FileInfoClass::SetFileName(const std::string& path) {
    fileName_ = path;
    CompanyName.clear();
    FileDescription.clear();
    FileVersion.clear();
    ProductName.clear();
    ProductVersion.clear();

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
