#pragma once
// Version resources by file path (letter case and trailing blanks ignored).
// Sub-blocks are matched without regard to case, as Windows does; every query
// is recorded so that tests can check the exact sub-block asked for.

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FakeSystem.h"
#include "platform/VersionInfo.h"

namespace dovoviza::test {

struct FakeVersionData {
    // Language in the low 16 bits, code page in the high 16 bits; nothing = no
    // translation table.
    std::optional<std::uint32_t> translation;
    std::map<std::string, std::string, NoCaseLess> strings;  // by sub-block
};

class FakeVersionReader : public IVersionReader {
public:
    std::unique_ptr<IVersionResource> Open(const std::string& path) override {
        opened.push_back(path);
        const auto it = files_.find(TrimEnd(path, " "));
        if (it == files_.end()) return nullptr;
        return std::make_unique<Resource>(it->second, queries);
    }

    void Add(const std::string& path, FakeVersionData data) {
        files_[TrimEnd(path, " ")] = std::move(data);
    }
    // A translation and its "\StringFileInfo\<block>\<name>" strings.
    void AddStrings(const std::string& path, std::uint16_t language, std::uint16_t codePage,
                    const std::vector<std::pair<std::string, std::string>>& strings) {
        char block[32];
        std::snprintf(block, sizeof block, "\\StringFileInfo\\%04X%04X\\", unsigned{language},
                      unsigned{codePage});
        FakeVersionData data{unsigned{language} | (std::uint32_t{codePage} << 16), {}};
        for (const auto& [name, value] : strings) data.strings[block + name] = value;
        Add(path, std::move(data));
    }

    std::vector<std::string> opened;   // every path asked for
    std::vector<std::string> queries;  // every string sub-block asked for

private:
    struct Resource : IVersionResource {
        Resource(FakeVersionData d, std::vector<std::string>& q) : data(std::move(d)), queries(q) {}
        std::optional<std::uint32_t> FirstTranslation() override { return data.translation; }
        std::optional<std::string> QueryString(const std::string& subBlock) override {
            queries.push_back(subBlock);
            const auto it = data.strings.find(subBlock);
            return it == data.strings.end() ? std::nullopt : std::optional(it->second);
        }

        FakeVersionData data;
        std::vector<std::string>& queries;
    };

    std::map<std::string, FakeVersionData, NoCaseLess> files_;
};

}  // namespace dovoviza::test
