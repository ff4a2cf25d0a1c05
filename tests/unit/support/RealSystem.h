#pragma once
// The build's own system for tests that hand real files to SQLite: its file
// system and library loader, the SQLite library to bind, and scratch folders.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"

namespace nudgelet::testing {

const platform::FileSystem& RealFiles();
const platform::DynamicLibraries& RealLibraries();
// "sqlite3.dll" beside the test program on Windows, the system's libsqlite3 natively.
std::wstring SqliteLibrary();

// A fresh folder in the system's temporary folder, removed with its content.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // With a trailing delimiter.
  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + name; }

 private:
  std::wstring path_;
};

std::vector<std::uint8_t> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::wstring& path, const std::string& text);

}  // namespace nudgelet::testing
