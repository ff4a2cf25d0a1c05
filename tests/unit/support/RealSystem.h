#pragma once
// The build's own system for tests that hand real files to SQLite: its file
// system and library loader, and the SQLite library to bind.

#include <string>

#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"

namespace nudgelet::testing {

const platform::FileSystem& RealFiles();
const platform::DynamicLibraries& RealLibraries();
// "sqlite3.dll" beside the test program on Windows, the system's libsqlite3 natively.
std::wstring SqliteLibrary();

}  // namespace nudgelet::testing
