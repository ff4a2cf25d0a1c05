#include "support/RealSystem.h"

#ifdef _WIN32
#include "base/Paths.h"
#include "platform/win32/SystemPlatform.h"
#include "settings/TextFile.h"
#else
#include "platform/posix/PosixDynamicLibraries.h"
#include "platform/posix/PosixFileSystem.h"
#endif

namespace nudgelet::testing {

#ifdef _WIN32
const platform::FileSystem& RealFiles() { return platform::win32::SystemPlatform().files; }
const platform::DynamicLibraries& RealLibraries() { return platform::win32::SystemPlatform().libraries; }
std::wstring SqliteLibrary() {
  return ExtractFilePath(platform::win32::SystemPlatform().folders.ExecutablePath()) + L"sqlite3.dll";
}
#else
const platform::FileSystem& RealFiles() {
  static const platform::posix::PosixFileSystem files;
  return files;
}
const platform::DynamicLibraries& RealLibraries() {
  static const platform::posix::PosixDynamicLibraries libraries;
  return libraries;
}
std::wstring SqliteLibrary() { return L"libsqlite3.so.0"; }
#endif

}  // namespace nudgelet::testing
