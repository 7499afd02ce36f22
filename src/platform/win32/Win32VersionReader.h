#pragma once
// Version resources through version.dll.

#include "platform/VersionInfo.h"

namespace dovoviza::win32 {

class Win32VersionReader final : public IVersionReader {
public:
    std::unique_ptr<IVersionResource> Open(const std::string& path) override;
};

}  // namespace dovoviza::win32
