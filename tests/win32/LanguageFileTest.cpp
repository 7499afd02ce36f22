// Language files through the real file and text services: a file in the code
// page of its CharacterSet reads the same whatever the system's own code page,
// and reads as the system's own profile reader reads it.

#include "WinTest.h"
#include "language/Ini.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32System.h"

using namespace dovoviza;
using namespace wintest;

namespace {

class LanguageFileTest : public PrefixTest {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        EXPECT_TRUE(files.CreateFolderPath(Scratch("Language")));
        WriteAll(LanguageFilePath(Scratch(), name), bytes);
        return LanguageFilePath(Scratch(), name);
    }
    std::string Read(const std::string& path, const std::string& section, const std::string& key) {
        return LanguageFile::Load(files, system, path).Get(section, key);
    }
    win32::Win32FileSystem files;
    win32::Win32System system;
};

TEST_F(LanguageFileTest, FilesReadInTheCodePageOfTheirCharacterSet) {
    // Cyrillic in a file of a Cyrillic name, matched without regard to letter case;
    // Shift-JIS whose trail bytes are 0x5C and 0x5D (ソ = 83 5C, ゾ = 83 5D).
    const std::string russian = Write("Русский",
        "[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=\xD4\xE0\xE9\xEB\r\n[\xEC\xE5\xED\xFE]\r\n\xEA\xEB\xFE\xF7=\xA8\xE6\r\n");
    const std::string japanese = Write("Japanese",
        "[LANGUAGE]\r\ntranslator=\x83\x5C\x83\x5D\r\nCharacterSet=128\r\n[\x83\x5D]\r\n1=[\x83\x5D]\r\n[Tray]\r\n1=\x8A\x4A\x82\xAD\r\n");
    EXPECT_EQ(Read(russian, "main", "1"), "Файл");
    EXPECT_EQ(Read(russian, "МЕНЮ", "КЛЮЧ"), "Ёж");
    EXPECT_EQ(Read(japanese, "LANGUAGE", "translator"), "ソゾ");
    EXPECT_EQ(Read(japanese, "ゾ", "1"), "[ゾ]");
    EXPECT_EQ(Read(japanese, "Tray", "1"), "開く");
    EXPECT_EQ(LanguageFile::Load(files, system, japanese).CharacterSet(), 128);
    EXPECT_EQ(Read(LanguageFilePath(Scratch(), "Nowhere"), "Main", "1"), "");
}

TEST_F(LanguageFileTest, ReadsAsTheSystemsOwnProfileReader) {
    const std::wstring text = L"[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n  1  =  padded value  \r\n"
                              L"2=\"quoted\"\r\n3=' single '\r\n4=\"unbalanced'\r\nMixed Case=Кириллица\r\n"
                              L"5=first\r\n5=second\r\nbare\r\n01=zero one\r\nlong=" + std::wstring(400, L'x') +
                              L"\r\n   [Other]  \r\n1=other\r\n[MAIN]\r\n6=later\r\n1=later\r\n";
    std::string bytes = "\xFF\xFE";  // a Unicode file, which the system's reader decodes too
    for (const wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    const std::string path = Write("Unicode", bytes);
    const std::pair<const char*, const char*> lookups[] = {
        {"Main", "1"}, {"main", "2"}, {"MAIN", "3"}, {"Main", "4"}, {"Main", "MIXED CASE"}, {"Main", "5"},
        {"Main", "bare"}, {" Main ", " 1 "}, {"Main", "01"}, {"Main", "001"}, {"Main", "long"},
        {"Other", "1"}, {"Missing", "1"}, {"Main", "6"}, {"Main", "missing"}};
    for (const auto& [section, key] : lookups) {
        wchar_t theirs[355] = {};
        const DWORD n = GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"", theirs, 355,
                                                 Wide(path).c_str());
        EXPECT_EQ(Read(path, section, key), Narrow(std::wstring(theirs, n))) << section << "/" << key;
    }
}

}  // namespace
