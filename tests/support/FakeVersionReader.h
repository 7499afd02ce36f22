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
    std::map<std::string, std::string, NoCaseLess> strings;  // sub-block -> string
};

class FakeVersionReader : public IVersionReader {
public:
    std::unique_ptr<IVersionResource> Open(const std::string& path) override {
        opened.push_back(path);
        const auto it = files_.find(WithoutTrailingBlanks(path));
        if (it == files_.end()) return nullptr;
        return std::make_unique<Resource>(it->second, queries);
    }

    void Add(const std::string& path, FakeVersionData data) { files_[WithoutTrailingBlanks(path)] = std::move(data); }
    // A translation and its "\StringFileInfo\<block>\<name>" strings.
    void AddStrings(const std::string& path, std::uint16_t language, std::uint16_t codePage,
                    const std::vector<std::pair<std::string, std::string>>& strings) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04X%04X\\", unsigned{language}, unsigned{codePage});
        FakeVersionData data{unsigned{language} | (std::uint32_t{codePage} << 16), {}};
        for (const auto& [name, value] : strings) data.strings[prefix + name] = value;
        Add(path, std::move(data));
    }

    std::vector<std::string> opened;   // every path asked for
    std::vector<std::string> queries;  // every string sub-block asked for

private:
    class Resource : public IVersionResource {
    public:
        Resource(FakeVersionData data, std::vector<std::string>& queries) : data_(std::move(data)), queries_(queries) {}
        std::optional<std::uint32_t> FirstTranslation() override { return data_.translation; }
        std::optional<std::string> QueryString(const std::string& subBlock) override {
            queries_.push_back(subBlock);
            const auto it = data_.strings.find(subBlock);
            if (it == data_.strings.end()) return std::nullopt;
            return it->second;
        }

    private:
        FakeVersionData data_;
        std::vector<std::string>& queries_;
    };

    static std::string WithoutTrailingBlanks(std::string path) {
        while (!path.empty() && path.back() == ' ') path.pop_back();
        return path;
    }

    std::map<std::string, FakeVersionData, NoCaseLess> files_;
};

}  // namespace dovoviza::test
