// The language dialog's model: the languages offered and previewed, and what Apply stores and says.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/Settings.h"
#include "language/LanguageChoice.h"
#include "support/FakeFileSystem.h"
#include "support/FakeRegistry.h"
#include "support/FakeSystem.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

const std::string kProgram = "C:\\dovoviza", kFolder = kProgram + "\\Language\\";

TEST(LanguageChoice, OffersTheFoldersLanguagesPreviewsThePickedOneAndStoresItInTheSettings) {
    FakeFileSystem files;
    // Tray/3 to Tray/9 of each language read "<name> 3" to "<name> 9".
    const std::tuple<std::string, const char*, std::uint32_t> languages[] = {
        {"Zulu", "0", 0}, {"English", "0", 0}, {"Russian", "204", 0}, {"Hidden", "0", FileAttr::Hidden}};
    for (const auto& [name, set, attributes] : languages) {
        std::string text = "[LANGUAGE]\nCharacterSet=" + std::string(set) + "\ntranslator=" + name +
                           "\ne-mail=" + name + "@mail\nweb=http://" + name + "/\n[Tray]\n";
        for (const char key : std::string("3456789")) text += key + ("=" + name + " ") + key + "\n";
        files.AddFile(kFolder + name + ".lng", text, attributes);
    }
    FakeSystem system;
    FakeRegistry registry;
    Settings settings(registry);
    ScriptedPrompt prompt;
    LanguageChoice choice(files, system, kProgram, kFolder + "Zulu.lng");
    const auto preview = [&] {
        const LanguagePreview& p = choice.Preview();
        return p.caption + "|" + p.select + "|" + p.apply + "|" + p.cancel + "|" + p.translator + "|" + p.email + "|" +
               p.web + "|" + std::to_string(p.characterSet.value_or(-1));
    };
    choice.Load("");  // nothing stored: English
    EXPECT_EQ(choice.Names(), (std::vector<std::string>{"Zulu", "English", "Russian"}));
    EXPECT_EQ(choice.Picked(), 1u);
    choice.Load("russian");  // file names ignore letter case
    choice.Pick(7);          // past the list: nothing changes
    EXPECT_EQ(choice.Picked(), 2u);
    EXPECT_EQ(preview(), "Russian 3|Russian 4|Russian 5|Russian 6|Russian|Russian@mail|http://Russian/|204");

    // Apply stores the name, then says in the picked language that it is used
    // from the next start; a registry that refuses the name promises nothing.
    const auto store = [&](const std::string& name) { return settings.SetLanguageName(name); };
    EXPECT_TRUE(choice.Apply(prompt, store));
    registry.Fail(RegFault::Write, Hive::LocalMachine, kSettingsKey);
    choice.Pick(0);
    EXPECT_EQ(preview(), "Zulu 3|Zulu 4|Zulu 5|Zulu 6|Zulu|Zulu@mail|http://Zulu/|0");
    EXPECT_FALSE(choice.Apply(prompt, store));
    EXPECT_EQ(settings.LanguageName(), "Russian");
    ASSERT_EQ(prompt.calls.size(), 2u);
    EXPECT_EQ(prompt.calls[0].text + "|" + prompt.calls[0].caption, "Russian 7|Russian 8");
    EXPECT_EQ(prompt.calls[1].text + "|" + prompt.calls[1].caption, "Zulu 9|Zulu 8");
    EXPECT_EQ(std::pair(prompt.calls[0].style, prompt.calls[1].style),
              std::pair(MsgStyle::Exclamation, MsgStyle::Critical));

    // A stored language without a file picks nothing, keeps the current one in view, and Apply does nothing.
    choice.Load("Klingon");
    EXPECT_FALSE(choice.Picked().has_value());
    EXPECT_EQ(choice.Preview().caption, "Zulu 3");
    EXPECT_FALSE(choice.Apply(prompt, store));
    EXPECT_EQ(prompt.calls.size(), 2u);
}

TEST(TranslatorLinks, OpenOnlyMailAndWebAddresses) {
    EXPECT_EQ(EmailLinkTarget("ivan@example.org") + "|" + EmailLinkTarget(""), "mailto:ivan@example.org|");
    const std::pair<const char*, const char*> webs[] = {
        {"http://example.org/", "http://example.org/"}, {"HTTPS://example.org", "HTTPS://example.org"},
        {"www.example.org", "http://www.example.org"}, {"", ""}, {"C:\\Windows\\System32\\cmd.exe", ""},
        {"file:///C:/evil.exe", ""}, {"http:", ""}};
    for (const auto& [web, target] : webs) EXPECT_EQ(WebLinkTarget(web), target) << web;
}

}  // namespace
