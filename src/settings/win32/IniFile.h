#pragma once
// An ini file read and written through the system's profile functions: every
// write goes to the file at once.

#include "platform/FileSystem.h"
#include "settings/CustomIniFile.h"

namespace nudgelet::platform::win32 {

class TIniFile final : public TCustomIniFile {
 public:
  TIniFile(const FileSystem& files, const std::wstring& fileName);
  // Only the profile functions touch the file: its folder is not made and its
  // attributes stay, so a file the user made read-only is read but never written.
  struct AsItIs {};
  TIniFile(const FileSystem& files, const std::wstring& fileName, AsItIs);

  std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& defaultValue) const override;
  void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;
  std::vector<std::wstring> ReadSection(const std::wstring& section) const override;
  std::vector<std::wstring> ReadSections() const override;
  std::vector<std::wstring> ReadSectionValues(const std::wstring& section) const override;
  void EraseSection(const std::wstring& section) override;
  void DeleteKey(const std::wstring& section, const std::wstring& key) override;
  // Flushes the system's profile cache for the file.
  void UpdateFile() override;

 private:
  // The profile functions look in the Windows folder for a name without a folder.
  static std::wstring ProfilePath(const std::wstring& fileName);
  void EnsureFolder() const;
  bool ReadOnly() const;

  const FileSystem& files_;
  std::wstring path_;
};

}  // namespace nudgelet::platform::win32
