#include "language/LanguageChoice.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

#include "language/Ini.h"

namespace dovoviza {

namespace {

constexpr std::string_view kExtension = ".lng";

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

bool HasLanguageExtension(std::string_view name) {
    // The system's "*.lng" also matches longer extensions through short names.
    return name.size() > kExtension.size() &&
           StartsWithIgnoringAsciiCase(name.substr(name.size() - kExtension.size()), kExtension);
}

}  // namespace

std::vector<std::string> ListLanguages(IFileSystem& files, const std::string& languageFolder) {
    std::vector<std::string> names;
    for (const std::string& file : files.ListNormalFiles(languageFolder, "*.lng")) {
        if (HasLanguageExtension(file)) names.push_back(file.substr(0, file.size() - kExtension.size()));
    }
    return names;
}

std::string EmailLinkTarget(const std::string& email) {
    if (email.empty()) return {};
    return "mailto:" + email;
}

std::string WebLinkTarget(const std::string& web) {
    if (StartsWithIgnoringAsciiCase(web, "http://") || StartsWithIgnoringAsciiCase(web, "https://")) {
        return web;
    }
    if (StartsWithIgnoringAsciiCase(web, "www.")) return "http://" + web;
    return {};
}

LanguageChoice::LanguageChoice(IFileSystem& files, ISystem& system, std::string programFolder,
                               std::string currentLanguageFile)
    : files_(files),
      system_(system),
      programFolder_(std::move(programFolder)),
      currentLanguageFile_(std::move(currentLanguageFile)) {}

void LanguageChoice::Load(const std::string& storedName) {
    names_ = ListLanguages(files_, programFolder_ + "\\Language");
    picked_.reset();
    const std::string wanted = storedName.empty() ? "English" : storedName;
    auto found = std::find(names_.begin(), names_.end(), wanted);
    if (found == names_.end()) {
        // File names are not case-sensitive on Windows.
        const std::string upper = system_.ToUpper(wanted);
        found = std::find_if(names_.begin(), names_.end(),
                             [&](const std::string& name) { return system_.ToUpper(name) == upper; });
    }
    if (found == names_.end()) {
        ShowPreviewOf(currentLanguageFile_);
        return;
    }
    Pick(static_cast<std::size_t>(found - names_.begin()));
}

void LanguageChoice::Pick(std::size_t index) {
    if (index >= names_.size()) return;
    picked_ = index;
    ShowPreviewOf(LanguageFilePath(programFolder_, names_[index]));
}

void LanguageChoice::ShowPreviewOf(const std::string& path) {
    previewPath_ = path;
    const LanguageFile file = LanguageFile::Load(files_, system_, path);
    preview_ = LanguagePreview{
        file.Get(lang::kLanguageDialogCaption),       file.Get(lang::kLanguageSelect),      file.Get(lang::kLanguageApply),
        file.Get(lang::kLanguageCancel),       file.Get(lang::kTranslator),
        file.Get(lang::kTranslatorEmail), file.Get(lang::kTranslatorWeb), file.CharacterSet(),
    };
}

bool LanguageChoice::Apply(IPrompt& prompt, const std::function<bool(const std::string&)>& store) {
    if (!picked_) return false;
    const LanguageFile file = LanguageFile::Load(files_, system_, previewPath_);
    // Stored first: the message promises the next start, so it must be true.
    if (!store(names_[*picked_])) {
        prompt.Show(file.Get(lang::kLanguageNotStored), file.Get(lang::kLanguageNextStartCaption), MsgStyle::Critical);
        return false;
    }
    prompt.Show(file.Get(lang::kLanguageNextStart), file.Get(lang::kLanguageNextStartCaption), MsgStyle::Exclamation);
    return true;
}

}  // namespace dovoviza
