#include "operations/CommandLine.h"

#include "catalogue/CommandText.h"

namespace dovoviza {

CommandParts SplitCommand(std::string_view command, std::optional<std::string_view> searchText,
                          std::string parameters) {
    std::string work(command);
    // Both markers are ASCII, so byte positions are character boundaries.
    for (std::size_t i = 0; i < work.size(); ++i) {
        if (work[i] == '/') {
            parameters = work.substr(i);
            work.resize(i);
            break;
        }
        if (work.compare(i, 3, "\" -") == 0) {
            parameters = work.substr(i + 2);
            work.resize(i + 1);
            break;
        }
    }

    const std::string search = searchText ? std::string(*searchText) : work;
    // A separate search text is walked to its end, so its last ".exe" wins;
    // searching the work itself stops being possible after the first cut.
    if (const std::size_t exe = FindExe(search, searchText.has_value()); exe != std::string::npos) {
        work = KeepThroughCharAfterExe(search, exe);
    }

    if (!work.empty() && work.front() == '"') work = DropFirstAndLastChar(work);
    return CommandParts{std::move(work), std::move(parameters)};
}

std::string SplitCommandForProperties(std::string_view command) {
    return SplitCommand(command, std::nullopt, std::string()).program;
}

CommandParts SplitCommandForEdit(std::string_view value, std::string_view listedCommand,
                                 std::string parameters) {
    return SplitCommand(value, listedCommand, std::move(parameters));
}

}  // namespace dovoviza
