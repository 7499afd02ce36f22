#pragma once
// The program's manual: a compiled help file beside the program.

#include <functional>
#include <string>

#include "language/Texts.h"
#include "platform/FileSystem.h"
#include "platform/Prompt.h"

namespace dovoviza {

inline constexpr const char* kHelpFileName = "dovoviza.chm";

std::string HelpFilePath(const std::string& programFolder);

// Opens the help file with `open` (the help viewer); when the file is missing
// or the viewer did not open it, says so (Main/45, caption Main/44) and
// returns false.
bool OpenHelpFile(IFileSystem& files, ITexts& texts, IPrompt& prompt,
                  const std::string& programFolder,
                  const std::function<bool(const std::string&)>& open);

}  // namespace dovoviza
