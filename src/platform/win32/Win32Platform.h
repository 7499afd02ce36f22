#pragma once
// The Windows implementations of every platform interface, made together.

#include "platform/Platform.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"

namespace dovoviza::win32 {

struct Win32Platform {
    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
    Win32VersionReader versions;
    Win32System system;
    const Platform platform{registry, files, shell, versions, system};
};

}  // namespace dovoviza::win32
