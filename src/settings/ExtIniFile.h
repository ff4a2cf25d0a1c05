#pragma once
// A fast, read-only ini reader for files other programs own (language files, the
// product's caches). Writes change only the memory copy; the file is never written.

#include "platform/FileSystem.h"
#include "settings/CustomIniFile.h"
#include "settings/IniSections.h"

namespace nudgelet {

class TExtIniFile final : public TCustomIniFile {
 public:
  explicit TExtIniFile(const platform::FileSystem& files, const std::wstring& fileName = L"");

  // Reads the file with sharing for everyone; false (and no sections) when it cannot be read.
  bool LoadFromFile(const std::wstring& fileName);
  void LoadFromLines(const std::vector<std::wstring>& lines);

  std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& defaultValue) const override;
  void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;
  std::vector<std::wstring> ReadSection(const std::wstring& section) const override;
  std::vector<std::wstring> ReadSections() const override;
  std::vector<std::wstring> ReadSectionValues(const std::wstring& section) const override;
  void EraseSection(const std::wstring& section) override;
  void DeleteKey(const std::wstring& section, const std::wstring& key) override;
  void UpdateFile() override {}

 private:
  const platform::FileSystem& files_;
  IniSections ini_;
};

}  // namespace nudgelet
