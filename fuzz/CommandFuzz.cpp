// Any text as a command: the program path, the properties split and the edit
// split never crash nor read past the text, whatever its bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/StartupLocation.h"
#include "operations/CommandLine.h"

using namespace dovoviza;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first line is the edit field, the rest the command as listed.
    const std::size_t cut = input.find('\n');
    const std::string_view value = input.substr(0, cut);
    const std::string_view listed = cut == std::string_view::npos ? input : input.substr(cut + 1);
    static_cast<void>(ProgramPathFromCommand(input));
    static_cast<void>(SplitCommandForProperties(input));
    static_cast<void>(SplitCommandForEdit(value, listed, std::string(listed)));
    static_cast<void>(SplitCommand(value, std::nullopt, std::string()));
    return 0;
}
