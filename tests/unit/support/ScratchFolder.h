#pragma once
// A fresh folder in the system's temporary folder, removed with everything in
// it (read-only files too) at the end, and whole-file helpers for test data.
// Shared by the native tests and the Windows tests.

#include <string>
#include <string_view>

namespace nudgelet::testing {

class ScratchFolder {
 public:
  explicit ScratchFolder(std::wstring_view tag = L"test");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // With a trailing delimiter.
  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + name; }

 private:
  std::wstring path_;
};

// The whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);

}  // namespace nudgelet::testing
