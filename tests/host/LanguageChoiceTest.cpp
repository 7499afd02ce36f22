// The language dialog's model: which languages it offers, what it previews,
// and what Apply and the translator lines do.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "language/LanguageChoice.h"
#include "support/FakeFileSystem.h"
#include "support/FakeSystem.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

const std::string kProgram = "C:\\Program Files\\dovoviza";
const std::string kFolder = kProgram + "\\Language";

std::string LanguageText(const std::string& caption, const std::string& translator,
                         const std::string& charset) {
    return "[LANGUAGE]\r\nCharacterSet=" + charset + "\r\ntranslator=" + translator +
           "\r\ne-mail=" + translator + "@example.org\r\nweb=http://" + translator +
           ".example.org/\r\n[Tray]\r\n3=" + caption + "\r\n4=" + caption + " 4\r\n5=" +
           caption + " 5\r\n6=" + caption + " 6\r\n7=" + caption + " next start\r\n8=" +
           caption + " title\r\n9=" + caption + " not stored\r\n";
}

class LanguageChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.AddFolder(kFolder);
        files.AddFile(kFolder + "\\Zulu.lng", LanguageText("Zulu caption", "zed", "0"));
        files.AddFile(kFolder + "\\English.lng", LanguageText("Select Language", "eve", "0"));
        files.AddFile(kFolder + "\\Russian.lng", LanguageText("Russian caption", "ivan", "204"));
        files.AddFile(kFolder + "\\Hidden.lng", LanguageText("hidden", "x", "0"), FileAttr::Hidden);
        files.AddFile(kFolder + "\\readme.txt", "not a language");
    }

    LanguageChoice Choice() { return LanguageChoice(files, system, kProgram, kFolder + "\\Zulu.lng"); }

    FakeFileSystem files;
    FakeSystem system;
    ScriptedPrompt prompt;
};

TEST_F(LanguageChoiceTest, ListsTheLanguageFilesInFolderOrderAndPreviewsTheStoredOne) {
    LanguageChoice choice = Choice();
    choice.Load("russian");  // file names ignore letter case
    EXPECT_EQ(choice.Names(), (std::vector<std::string>{"Zulu", "English", "Russian"}));
    ASSERT_EQ(choice.Picked(), 2u);
    EXPECT_EQ(choice.PreviewLanguageFilePath(), kFolder + "\\Russian.lng");
    const LanguagePreview& preview = choice.Preview();
    EXPECT_EQ(preview.caption, "Russian caption");
    EXPECT_EQ(preview.select, "Russian caption 4");
    EXPECT_EQ(preview.apply, "Russian caption 5");
    EXPECT_EQ(preview.cancel, "Russian caption 6");
    EXPECT_EQ(preview.translator, "ivan");
    EXPECT_EQ(preview.email, "ivan@example.org");
    EXPECT_EQ(preview.web, "http://ivan.example.org/");
    EXPECT_EQ(preview.characterSet, 204);

    // Picking another language previews it at once; a bad index changes nothing.
    choice.Pick(0);
    EXPECT_EQ(choice.Preview().caption, "Zulu caption");
    EXPECT_EQ(choice.Preview().characterSet, 0);
    choice.Pick(7);
    EXPECT_EQ(choice.Picked(), 0u);
}

TEST_F(LanguageChoiceTest, NoStoredNameMeansEnglishAndAnUnknownNamePicksNothing) {
    LanguageChoice choice = Choice();
    choice.Load("");
    ASSERT_EQ(choice.Picked(), 1u);
    EXPECT_EQ(choice.Preview().caption, "Select Language");

    // The stored language has no file: the current language stays in view.
    choice.Load("Klingon");
    EXPECT_FALSE(choice.Picked().has_value());
    EXPECT_EQ(choice.Preview().caption, "Zulu caption");

    files.Remove(kFolder);
    choice.Load("English");
    EXPECT_TRUE(choice.Names().empty());
    EXPECT_FALSE(choice.Picked().has_value());
}

TEST_F(LanguageChoiceTest, ApplyStoresThePickedNameAndSpeaksThePickedLanguage) {
    LanguageChoice choice = Choice();
    choice.Load("English");
    choice.Pick(2);
    std::vector<std::string> stored;
    EXPECT_TRUE(choice.Apply(prompt, [&](const std::string& name) {
        stored.push_back(name);
        return true;
    }));
    EXPECT_EQ(stored, std::vector<std::string>{"Russian"});
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text, "Russian caption next start");
    EXPECT_EQ(prompt.calls[0].caption, "Russian caption title");
    EXPECT_EQ(prompt.calls[0].style, MsgStyle::Exclamation);

    // A registry that refuses the name: the user is not promised a new language.
    prompt.calls.clear();
    EXPECT_FALSE(choice.Apply(prompt, [](const std::string&) { return false; }));
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text, "Russian caption not stored");
    EXPECT_EQ(prompt.calls[0].style, MsgStyle::Critical);

    // Nothing picked: nothing stored, nothing said.
    prompt.calls.clear();
    choice.Load("Klingon");
    bool called = false;
    EXPECT_FALSE(choice.Apply(prompt, [&](const std::string&) { return called = true; }));
    EXPECT_FALSE(called);
    EXPECT_TRUE(prompt.calls.empty());
}

TEST(TranslatorLinks, OpenOnlyMailAndWebAddresses) {
    EXPECT_EQ(EmailLinkTarget("ivan@example.org"), "mailto:ivan@example.org");
    EXPECT_EQ(EmailLinkTarget(""), "");
    struct Case {
        const char* web;
        const char* target;
    };
    const Case cases[] = {
        {"http://example.org/", "http://example.org/"},
        {"HTTPS://example.org", "HTTPS://example.org"},
        {"www.example.org", "http://www.example.org"},
        {"", ""},
        {"C:\\Windows\\System32\\cmd.exe", ""},
        {"file:///C:/evil.exe", ""},
        {"http:", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(WebLinkTarget(c.web), c.target) << c.web;
}

}  // namespace
