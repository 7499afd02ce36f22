#pragma once
// The registry through advapi32, always in the native 64-bit view.

#include <memory>
#include <string>

#include "platform/Registry.h"

namespace dovoviza::win32 {

class Win32Registry final : public IRegistry {
public:
    std::unique_ptr<IRegKey> OpenKey(Hive hive, const std::string& path, bool writable) override;
    std::unique_ptr<IRegKey> CreateKey(Hive hive, const std::string& path) override;
    bool KeyExists(Hive hive, const std::string& path) override;
};

}  // namespace dovoviza::win32
