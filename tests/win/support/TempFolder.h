#pragma once
// A fresh folder under the temporary folder, removed with its files at the end.

#include <windows.h>

#include <string>

namespace nudgelet::testing {

class TempFolder {
 public:
  explicit TempFolder(const std::wstring& tag);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Whole-file helpers for test data; an unreadable file reads as empty.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace nudgelet::testing
