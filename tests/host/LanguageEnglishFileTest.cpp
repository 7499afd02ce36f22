// The English language file that ships beside the program: every text the
// windows need, with the design-time wording where the windows carry one.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "language/Ini.h"
#include "support/FakeSystem.h"

using namespace dovoviza;

namespace {

struct Text {
    const char* section;
    const char* key;
    const char* english;  // nullptr where only the meaning is fixed
};

const Text kTexts[] = {
    {"Main", "1", "File"},
    {"Main", "2", "New Item"},
    {"Main", "3", "Edit Item"},
    {"Main", "4", "Disable Selected Item"},
    {"Main", "5", "Enable Selected Item"},
    {"Main", "6", "Delete Selected Item"},
    {"Main", "7", "Execute"},
    {"Main", "8", "File Properties"},
    {"Main", "9", "Exit"},
    {"Main", "10", "Options"},
    {"Main", "11", "Refresh"},
    {"Main", "12", "Run with Windows"},
    {"Main", "13", "Run minimized"},
    {"Main", "14", "Help"},
    {"Main", "15", "Help..."},
    {"Main", "16", "Check for updates..."},
    {"Main", "18", "About..."},
    {"Main", "19", "Name"},
    {"Main", "20", "Value"},
    {"Main", "21", "Section"},
    {"Main", "22", "Status"},
    {"Main", "23", "Product Name"},
    {"Main", "24", "Product Description"},
    {"Main", "25", "Company"},
    {"Main", "26", "Version"},
    {"Main", "27", "Process Path"},
    {"Main", "28", "File Size"},
    {"Main", "29", "Date Created"},
    {"Main", "30", "Date Accessed"},
    {"Main", "31", "Date Modified"},
    {"Main", "32", "Location"},
    {"Main", "33", nullptr},
    {"Main", "34", nullptr},
    {"Main", "35", nullptr},
    {"Main", "36", nullptr},
    {"Main", "37", "Disabled"},
    {"Main", "38", nullptr},
    {"Main", "39", nullptr},
    {"Main", "40", nullptr},
    {"Main", "41", nullptr},
    {"Main", "42", nullptr},
    {"Main", "43", nullptr},
    {"Main", "44", nullptr},
    {"Main", "45", nullptr},
    {"Main", "46", "Language"},
    {"Main", "47", "New version available!"},
    {"Main", "48", "Would you like to download it from our website?"},
    {"Main", "49", nullptr},
    // Failures the program reports where moves and deletes are refused.
    {"Main", "50", nullptr},
    {"Main", "51", nullptr},
    {"Main", "52", nullptr},
    {"Main", "53", nullptr},
    {"About", "1", "About"},
    {"About", "2", "Version:"},
    {"About", "4", nullptr},
    {"About", "6", "Close"},
    {"Add", "1", "Create New Startup Item"},
    {"Add", "2", "Name:"},
    {"Add", "3", "Value:"},
    {"Add", "4", "Section:"},
    {"Add", "5", "Parameters:"},
    {"Add", "6", "&OK"},
    {"Add", "7", "&Cancel"},
    {"Add", "8", nullptr},
    {"Add", "9", nullptr},
    {"Add", "10", nullptr},
    {"Add", "11", nullptr},
    {"Add", "12", nullptr},
    {"Add", "13", nullptr},
    {"Add", "14", nullptr},
    {"Add", "15", nullptr},
    {"Add", "16", nullptr},
    {"Add", "17", nullptr},
    {"Alert", "1", "Alert!"},
    {"Alert", "2", "New startup item detected!"},
    {"Alert", "3", "Section:"},
    {"Alert", "4", "Name:"},
    {"Alert", "5", "Value:"},
    {"Alert", "6", "File Details..."},
    {"Alert", "7", "&Allow"},
    {"Alert", "8", "&Disable"},
    {"Alert", "9", "&Delete"},
    {"Alert", "10", nullptr},
    {"Alert", "11", nullptr},
    {"Alert", "12", nullptr},
    {"Alert", "13", "File:"},
    {"Splash", "5", nullptr},
    {"Tray", "1", "Open"},
    {"Tray", "2", "Exit"},
    {"Tray", "3", "Select Language"},
    {"Tray", "4", "Select:"},
    {"Tray", "5", "Apply"},
    {"Tray", "6", "Cancel"},
    {"Tray", "7", nullptr},
    {"Tray", "8", nullptr},
    {"Tray", "9", nullptr},
    {"LANGUAGE", "translator", nullptr},
    {"LANGUAGE", "e-mail", nullptr},
    {"LANGUAGE", "web", nullptr},
};

class EnglishLanguageFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream in(std::string(DOVOVIZA_SOURCE_DIR) + "/Language/English.lng", std::ios::binary);
        ASSERT_TRUE(in) << "Language/English.lng is missing";
        raw.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        file = LanguageFile::FromBytes(system, std::vector<std::uint8_t>(raw.begin(), raw.end()));
    }

    test::FakeSystem system;
    std::string raw;
    LanguageFile file;
};

}  // namespace

TEST_F(EnglishLanguageFile, HasEveryTextWithItsDesignWording) {
    for (const Text& t : kTexts) {
        SCOPED_TRACE(std::string(t.section) + "/" + t.key);
        const std::string value = file.Get(t.section, t.key);
        EXPECT_FALSE(value.empty());
        if (t.english) {
            EXPECT_EQ(value, t.english);
        }
    }
    EXPECT_EQ(file.Get("LANGUAGE", "CharacterSet"), "0");
    EXPECT_EQ(file.CharacterSet(), 0);
}

TEST_F(EnglishLanguageFile, TextsThatTheProgramComparesAgree) {
    // The alert shows its question mark when the path is the scan's not-found word.
    EXPECT_EQ(file.Get("Alert", "10"), file.Get("Main", "36"));
    // The create/edit dialog tells its mode by its caption.
    EXPECT_NE(file.Get("Main", "39"), file.Get("Add", "1"));
    // The status word must never read as "enabled".
    EXPECT_FALSE(file.Get("Main", "37").empty());
}

TEST_F(EnglishLanguageFile, IsPlainWindowsTextWithoutRepeatedKeys) {
    ASSERT_FALSE(raw.empty());
    EXPECT_NE(raw.substr(0, 3), "\xEF\xBB\xBF");
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        ASSERT_LT(c, 0x80) << "non-ASCII byte at " << i;
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < raw.size() && raw[i + 1] == '\n') << "lone CR at " << i;
        }
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && raw[i - 1] == '\r') << "lone LF at " << i;
        }
    }
    EXPECT_EQ(raw.back(), '\n');

    // A repeated section or key would silently hide the later one.
    std::set<std::string> sections;
    std::set<std::pair<std::string, std::string>> keys;
    std::string section;
    std::size_t start = 0;
    while (start < raw.size()) {
        const std::size_t end = raw.find("\r\n", start);
        const std::string line = raw.substr(start, end - start);
        start = end + 2;
        if (line.empty()) continue;
        if (line.front() == '[') {
            section = line;
            EXPECT_TRUE(sections.insert(section).second) << "repeated " << section;
        } else {
            EXPECT_TRUE(keys.insert({section, line.substr(0, line.find('='))}).second)
                << "repeated " << section << " " << line;
        }
    }
    EXPECT_EQ(keys.size(), std::size(kTexts) + 1);  // and CharacterSet
}
