#include "FakeVersionReader.h"

#include <cstdio>

namespace dovoviza::test {

namespace {

std::string WithoutTrailingBlanks(std::string path) {
    while (!path.empty() && path.back() == ' ') path.pop_back();
    return path;
}

class FakeVersionResource : public IVersionResource {
public:
    FakeVersionResource(FakeVersionData data, std::vector<std::string>& queries)
        : data_(std::move(data)), queries_(queries) {}

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

}  // namespace

std::unique_ptr<IVersionResource> FakeVersionReader::Open(const std::string& path) {
    opened.push_back(path);
    const auto it = files_.find(WithoutTrailingBlanks(path));
    if (it == files_.end()) return nullptr;
    return std::make_unique<FakeVersionResource>(it->second, queries);
}

void FakeVersionReader::Add(const std::string& path, FakeVersionData data) {
    files_[WithoutTrailingBlanks(path)] = std::move(data);
}

void FakeVersionReader::AddStrings(const std::string& path, std::uint16_t language,
                                   std::uint16_t codePage,
                                   const std::vector<std::pair<std::string, std::string>>& strings) {
    char block[16];
    std::snprintf(block, sizeof block, "%04X%04X", static_cast<unsigned>(language),
                  static_cast<unsigned>(codePage));
    FakeVersionData data;
    data.translation = static_cast<std::uint32_t>(language) | (static_cast<std::uint32_t>(codePage) << 16);
    for (const auto& [name, value] : strings) {
        data.strings["\\StringFileInfo\\" + std::string(block) + "\\" + name] = value;
    }
    Add(path, std::move(data));
}

}  // namespace dovoviza::test
