#include "language/Texts.h"

#include <utility>

namespace dovoviza {

std::string FillIn(std::string_view text, std::initializer_list<std::string_view> arguments) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t n = static_cast<std::size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && n < arguments.size()) {
            out += *(arguments.begin() + n);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<int> CharacterSetOf(ITexts& texts) {
    return ParseIniNumber(texts.Get(lang::kCharacterSet));
}

LanguageTexts::LanguageTexts(IFileSystem& files, ISystem& system, std::string filePath,
                             const std::vector<std::uint8_t>& builtInEnglish)
    : files_(files), system_(system) {
    if (!builtInEnglish.empty()) builtIn_ = LanguageFile::FromBytes(system, builtInEnglish);
    Load(std::move(filePath));
}

void LanguageTexts::Load(std::string filePath) {
    filePath_ = std::move(filePath);
    file_ = LanguageFile::Load(files_, system_, filePath_);
    incomplete_ = file_.AddMissing(builtIn_) > 0;
}

std::string LanguageTexts::IncompleteNotice() {
    return incomplete_ ? FillIn(Get(lang::kLanguageFileIncomplete), {filePath_}) : std::string();
}

std::string LanguageTexts::Text(const std::string& section, const std::string& key) {
    return file_.Get(section, key);
}

}  // namespace dovoviza
