// Help > Help...: the manual beside the program, or a message saying it did not open.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "about/HelpFile.h"
#include "support/FakeFileSystem.h"
#include "support/FakeTexts.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::test;

TEST(HelpFile, OpensTheManualBesideTheProgramOrSaysItDidNot) {
    const std::string folder = "C:\\Program Files\\dovoviza";
    FakeFileSystem files;
    FakeTexts texts;
    texts.Set("Main", "44", "Help");
    texts.Set("Main", "45", "The help file could not be opened.");
    ScriptedPrompt prompt;
    std::vector<std::string> opened;
    bool viewerWorks = true;
    const auto viewer = [&](const std::string& path) {
        opened.push_back(path);
        return viewerWorks;
    };

    // Missing: the viewer is not asked, the user is told.
    files.AddFolder(folder);
    EXPECT_FALSE(OpenHelpFile(files, texts, prompt, folder, viewer));
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text, "The help file could not be opened.");
    EXPECT_EQ(prompt.calls[0].caption, "Help");
    EXPECT_EQ(prompt.calls[0].style, MsgStyle::Critical);

    files.AddFile(folder + "\\dovoviza.chm", "ITSF");
    EXPECT_TRUE(OpenHelpFile(files, texts, prompt, folder, viewer));
    EXPECT_EQ(opened, std::vector<std::string>{folder + "\\dovoviza.chm"});
    EXPECT_EQ(prompt.calls.size(), 1u);

    // There, but the viewer failed (no viewer installed, a damaged file).
    viewerWorks = false;
    EXPECT_FALSE(OpenHelpFile(files, texts, prompt, folder, viewer));
    EXPECT_EQ(prompt.calls.size(), 2u);
}
