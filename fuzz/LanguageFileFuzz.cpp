// Any bytes as a language file: the reader never crashes, every text it gives
// fits the buffer the system call had, and the built-in texts fill every gap.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "language/Ini.h"
#include "platform/Text.h"
#include "support/FakeSystem.h"

using namespace dovoviza;

namespace {

const char kEnglish[] = "[LANGUAGE]\r\nCharacterSet=0\r\n[Main]\r\n1=&File\r\n9=E&xit\r\n[Add]\r\n2=Name:\r\n";

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static test::FakeSystem system;
    static const LanguageFile english = LanguageFile::FromBytes(
        system, std::vector<std::uint8_t>(kEnglish, kEnglish + sizeof kEnglish - 1));
    LanguageFile file = LanguageFile::FromBytes(system, std::vector<std::uint8_t>(data, data + size));
    for (const char* key : {"1", "9", "CharacterSet"}) {
        for (const char* section : {"Main", "LANGUAGE", "main"}) {
            Check(Utf8ToUtf16(file.Get(section, key)).size() <= kIniValueMaxUnits);
        }
    }
    static_cast<void>(file.CharacterSet());
    const std::size_t added = file.AddMissing(english);
    Check(added <= 4);
    Check(file.AddMissing(english) == 0);
    if (added == 4) Check(file.Get("Add", "2") == "Name:");
    return 0;
}
