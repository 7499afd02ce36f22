#pragma once
// Letter-case folding for the doubles: Windows compares key paths, value names
// and file names without regard to case, across more than ASCII.

#include <string>
#include <string_view>

namespace dovoviza::test {

// Upper-cases ASCII, Latin-1, Greek and Cyrillic letters; other text is kept.
std::string FoldCase(std::string_view text);

struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return FoldCase(a) < FoldCase(b);
    }
};

// Matches a name against a pattern with "*" and "?", ignoring case. "*.*"
// matches every name, with or without an extension, as on Windows.
bool WildcardMatch(std::string_view pattern, std::string_view name);

bool HasWildcard(std::string_view text);

}  // namespace dovoviza::test
