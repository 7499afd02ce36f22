#pragma once
// Cutting a command into its program part and its parameters, for the file
// properties and the edit dialog. Purely textual: nothing is looked up on disk.
// (The list's Process Path column follows ProgramPathFromCommand instead.)

#include <optional>
#include <string>
#include <string_view>

namespace dovoviza {

struct CommandParts {
    std::string program;
    std::string parameters;
};

// Cuts `command` at its first "/" (the slash goes to the parameters) or its
// first `" -` (the closing quote stays, the parameters start at the minus);
// without either, `parameters` comes back as given. Then the program part
// becomes `searchText` up to an ".exe" in any letter case and the one character
// after it: the last ".exe" of `searchText`, or, when no search text is given,
// the first one of the cut command itself. A leading quote finally costs the
// first and the last character.
CommandParts SplitCommand(std::string_view command, std::optional<std::string_view> searchText,
                          std::string parameters);

// The program whose properties sheet a command's entry shows.
std::string SplitCommandForProperties(std::string_view command);

// The edit dialog's split of its Value field; the ".exe" is searched in the
// entry's command as listed, so its last ".exe" counts, parameters included.
CommandParts SplitCommandForEdit(std::string_view value, std::string_view listedCommand,
                                 std::string parameters = {});

}  // namespace dovoviza
