#pragma once
// An ini file held in memory that writes itself back safely: never over a file
// it could not read, and always as one step, so that a process that dies while
// saving leaves the previous file whole.

#include "platform/FileSystem.h"
#include "settings/CustomIniFile.h"
#include "settings/IniSections.h"

namespace nudgelet {

class TSafeIniFile final : public TCustomIniFile {
 public:
  // Loads the file; when it does not exist, creates its folder and an empty file.
  TSafeIniFile(const platform::FileSystem& files, const std::wstring& fileName);
  // Saves when something changed and the file had been read.
  ~TSafeIniFile() override;

  bool Modified() const { return modified_; }
  bool LoadFailed() const { return loadFailed_; }
  std::uint32_t LastError() const { return lastError_; }

  // Replaces the content with lines read from bytes (any text encoding); the
  // file then differs from its copy, so it is marked modified.
  void LoadFromBytes(const std::vector<std::uint8_t>& bytes);

  std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& defaultValue) const override;
  void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;
  std::vector<std::wstring> ReadSection(const std::wstring& section) const override;
  std::vector<std::wstring> ReadSections() const override;
  std::vector<std::wstring> ReadSectionValues(const std::wstring& section) const override;
  void EraseSection(const std::wstring& section) override;
  void DeleteKey(const std::wstring& section, const std::wstring& key) override;
  // Writes the file as UTF-16LE with byte-order mark; errors go to LastError.
  void UpdateFile() override;

 private:
  void Load();
  std::wstring SavePath() const;

  const platform::FileSystem& files_;
  IniSections ini_;
  bool modified_ = false;
  bool loadFailed_ = false;
  std::uint32_t lastError_ = 0;
};

// Makes sure a folder exists, retrying: another process may be creating or
// removing the same folders at the same moment.
bool ForceFolder(const platform::FileSystem& files, const std::wstring& folder);

}  // namespace nudgelet
