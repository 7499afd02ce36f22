#pragma once
// The operating-system services handed down from the process entry.

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/VersionInfo.h"

namespace dovoviza {

struct Platform {
    IRegistry& registry;
    IFileSystem& files;
    IShell& shell;
    IVersionReader& versions;
    ISystem& system;
};

}  // namespace dovoviza
