#pragma once
// Version resources by file path (letter case and trailing blanks ignored).
// Sub-blocks are matched without regard to case, as Windows does; every query
// is recorded so that tests can check the exact sub-block asked for.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "NoCase.h"
#include "platform/VersionInfo.h"

namespace dovoviza::test {

struct FakeVersionData {
    // Language in the low 16 bits, code page in the high 16 bits; nothing = no
    // translation table.
    std::optional<std::uint32_t> translation;
    std::map<std::string, std::string, NoCaseLess> strings;  // sub-block -> string
};

class FakeVersionReader : public IVersionReader {
public:
    std::unique_ptr<IVersionResource> Open(const std::string& path) override;

    void Add(const std::string& path, FakeVersionData data);
    // A translation and its "\StringFileInfo\<block>\<name>" strings.
    void AddStrings(const std::string& path, std::uint16_t language, std::uint16_t codePage,
                    const std::vector<std::pair<std::string, std::string>>& strings);

    std::vector<std::string> opened;   // every path asked for
    std::vector<std::string> queries;  // every string sub-block asked for

private:
    std::map<std::string, FakeVersionData, NoCaseLess> files_;
};

}  // namespace dovoviza::test
