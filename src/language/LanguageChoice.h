#pragma once
// The language dialog's model: the languages found beside the program, the
// one picked, its own texts as a preview, and what Apply and the translator
// links do. The running program keeps its language; a choice is used from
// the next start.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Prompt.h"
#include "platform/System.h"

namespace dovoviza {

// The dialog's texts, read from the language being previewed.
struct LanguagePreview {
    std::string caption;     // Tray/3
    std::string select;      // Tray/4
    std::string apply;       // Tray/5
    std::string cancel;      // Tray/6
    std::string translator;  // LANGUAGE/translator
    std::string email;       // LANGUAGE/e-mail
    std::string web;         // LANGUAGE/web
    std::optional<int> characterSet;
};

// Language names of the "*.lng" files in a folder, in the order the system
// lists them, each without its ".lng".
std::vector<std::string> ListLanguages(IFileSystem& files, const std::string& languageFolder);

// What a click on a translator line opens; empty when it opens nothing. Only
// a mail address or a web address is opened: a language file is not allowed
// to start programs.
std::string EmailLinkTarget(const std::string& email);
std::string WebLinkTarget(const std::string& web);

class LanguageChoice {
public:
    // `currentLanguageFile` is previewed while no language is picked.
    LanguageChoice(IFileSystem& files, ISystem& system, std::string programFolder,
                   std::string currentLanguageFile);

    // Fills the list from the language folder and picks the stored language
    // (English when none is stored). A stored name without a file picks
    // nothing and previews the current language.
    void Load(const std::string& storedName);

    const std::vector<std::string>& Names() const { return names_; }
    std::optional<std::size_t> Picked() const { return picked_; }
    const LanguagePreview& Preview() const { return preview_; }
    // The file the preview comes from.
    const std::string& PreviewLanguageFilePath() const { return previewPath_; }

    // Picks a language from the list and previews it; an index out of range
    // is ignored.
    void Pick(std::size_t index);

    // Stores the picked name through `store`, then tells the user, in the
    // picked language, that it is used from the next start (Tray/7, caption
    // Tray/8). When the name could not be stored, says so (Tray/9) and
    // returns false; nothing happens when no language is picked.
    bool Apply(IPrompt& prompt, const std::function<bool(const std::string&)>& store);

private:
    void ShowPreviewOf(const std::string& path);

    IFileSystem& files_;
    ISystem& system_;
    std::string programFolder_;
    std::string currentLanguageFile_;
    std::vector<std::string> names_;
    std::optional<std::size_t> picked_;
    std::string previewPath_;
    LanguagePreview preview_;
};

}  // namespace dovoviza
