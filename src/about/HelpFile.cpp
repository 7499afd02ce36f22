#include "about/HelpFile.h"

namespace dovoviza {

std::string HelpFilePath(const std::string& programFolder) {
    return programFolder + "\\" + kHelpFileName;
}

bool OpenHelpFile(IFileSystem& files, ITexts& texts, IPrompt& prompt,
                  const std::string& programFolder,
                  const std::function<bool(const std::string&)>& open) {
    const std::string path = HelpFilePath(programFolder);
    // A missing file is told before the viewer is asked: some viewers show
    // an empty window of their own for it.
    if (files.NormalFileExists(path) && open && open(path)) return true;
    prompt.Show(texts.Get(lang::kHelpMissing), texts.Get(lang::kHelpCaption), MsgStyle::Critical);
    return false;
}

}  // namespace dovoviza
