#pragma once
// Version resources of program files.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace dovoviza {

// One file's version resource, loaded once and queried by sub-block path.
class IVersionResource {
public:
    virtual ~IVersionResource() = default;
    // The first entry of "\VarFileInfo\Translation": language in the low 16 bits,
    // code page in the high 16 bits, as the resource stores them.
    virtual std::optional<std::uint32_t> FirstTranslation() = 0;
    // A string such as "\StringFileInfo\040904B0\CompanyName", whole (up to the
    // length the resource gives), or nothing when the query fails.
    virtual std::optional<std::string> QueryString(const std::string& subBlock) = 0;
};

class IVersionReader {
public:
    virtual ~IVersionReader() = default;
    // nullptr when the file has no version resource or cannot be read. A name
    // without a folder is searched the way the system searches for libraries.
    virtual std::unique_ptr<IVersionResource> Open(const std::string& path) = 0;
};

}  // namespace dovoviza
