#include "language/Texts.h"

#include "language/Ini.h"

namespace dovoviza {

std::optional<int> CharacterSetOf(ITexts& texts) {
    return ParseIniNumber(texts.Text("LANGUAGE", "CharacterSet"));
}

std::string LanguageTexts::Text(const std::string& section, const std::string& key) {
    return ReadINI(files_, system_, section, key, filePath_);
}

}  // namespace dovoviza
