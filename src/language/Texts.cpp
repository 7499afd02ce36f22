#include "language/Texts.h"

#include <utility>

namespace dovoviza {

std::optional<int> CharacterSetOf(ITexts& texts) {
    return ParseIniNumber(texts.Get(lang::kCharacterSet));
}

LanguageTexts::LanguageTexts(IFileSystem& files, ISystem& system, std::string filePath)
    : files_(files), system_(system) {
    Load(std::move(filePath));
}

void LanguageTexts::Load(std::string filePath) {
    filePath_ = std::move(filePath);
    file_ = LanguageFile::Load(files_, system_, filePath_);
}

std::string LanguageTexts::Text(const std::string& section, const std::string& key) {
    return file_.Get(section, key);
}

}  // namespace dovoviza
