// The command-line entry of nudgelet-db on either system.
#include <iostream>
#include <string>
#include <vector>

#include "DbTool.h"
#include "base/Paths.h"
#include "platform/Crypto.h"

#ifdef _WIN32
#include "platform/win32/SystemPlatform.h"
#include "settings/TextFile.h"

int wmain(int argc, wchar_t** argv) {
  const auto& p = nudgelet::platform::win32::SystemPlatform();
  const nudgelet::tools::DbToolServices services{
      p.files, p.libraries, nudgelet::platform::SystemCrypto(),
      nudgelet::ExtractFilePath(p.folders.ExecutablePath()) + L"sqlite3.dll"};
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  return nudgelet::tools::RunDbTool(args, services, std::cerr);
}
#else
#include "base/Strings.h"
#include "platform/posix/PosixDynamicLibraries.h"
#include "platform/posix/PosixFileSystem.h"

int main(int argc, char** argv) {
  const nudgelet::platform::posix::PosixFileSystem files;
  const nudgelet::platform::posix::PosixDynamicLibraries libraries;
  const nudgelet::tools::DbToolServices services{files, libraries, nudgelet::platform::SystemCrypto(),
                                                 L"libsqlite3.so.0"};
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(nudgelet::Utf8ToWide(argv[i]));
  return nudgelet::tools::RunDbTool(args, services, std::cerr);
}
#endif
