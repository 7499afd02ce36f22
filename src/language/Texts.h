#pragma once
// Where the portable logic gets the user's texts: section and key of the
// current language file, read when needed.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "language/Ini.h"
#include "language/TextKeys.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

namespace dovoviza {

// The caption of message boxes that name none of their own.
inline constexpr const char* kAppTitle = "Varnek Ruvazuv Avuzuza";
// The caption the main window and a few messages carry, spelled so.
inline constexpr const char* kAppCaption = "Varnek RuvazUv Avuzuza";

// One control of a window and the language text it shows; each window keeps
// one table of these.
struct TextBinding {
    int control;
    TextKey text;
};

class ITexts {
public:
    virtual ~ITexts() = default;
    // Empty when the file, section or key is missing.
    virtual std::string Text(const std::string& section, const std::string& key) = 0;
    std::string Get(const TextKey& key) { return Text(std::string(key.section), std::string(key.key)); }
};

// The text with "%1", "%2", ... replaced by the arguments in that order; a
// number without an argument stays as written.
std::string FillIn(std::string_view text, std::initializer_list<std::string_view> arguments);

// LANGUAGE/CharacterSet of the texts as a number, the font character set a
// window uses for them; nothing when missing or not a number.
std::optional<int> CharacterSetOf(ITexts& texts);

// The texts of one language file, parsed once; Load reads another (or the
// same one again) when the language changes. Every key the file lacks, or
// that could not be read from it, comes from the built-in English texts.
class LanguageTexts : public ITexts {
public:
    LanguageTexts(IFileSystem& files, ISystem& system, std::string filePath,
                  const std::vector<std::uint8_t>& builtInEnglish = {});

    void Load(std::string filePath);
    std::string Text(const std::string& section, const std::string& key) override;
    const std::string& FilePath() const { return filePath_; }
    const LanguageFile& File() const { return file_; }
    // True when the file lacked texts that the built-in ones had to give.
    bool Incomplete() const { return incomplete_; }
    // What to tell the user once about an incomplete file; empty when complete.
    std::string IncompleteNotice();

private:
    IFileSystem& files_;
    ISystem& system_;
    std::string filePath_;
    LanguageFile builtIn_;
    LanguageFile file_;
    bool incomplete_ = false;
};

}  // namespace dovoviza
