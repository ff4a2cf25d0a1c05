#pragma once
// What every ini class of the program offers. Section and key look-ups ignore
// letter case.

#include <cstdint>
#include <string>
#include <vector>

#include "base/DateTime.h"

namespace nudgelet {

class TCustomIniFile {
 public:
  explicit TCustomIniFile(std::wstring fileName) : fileName_(std::move(fileName)) {}
  virtual ~TCustomIniFile() = default;
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;

  const std::wstring& FileName() const { return fileName_; }

  virtual std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& defaultValue) const = 0;
  virtual void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) = 0;
  // Key names of a section.
  virtual std::vector<std::wstring> ReadSection(const std::wstring& section) const = 0;
  virtual std::vector<std::wstring> ReadSections() const = 0;
  // A section's "name=value" lines.
  virtual std::vector<std::wstring> ReadSectionValues(const std::wstring& section) const = 0;
  virtual void EraseSection(const std::wstring& section) = 0;
  virtual void DeleteKey(const std::wstring& section, const std::wstring& key) = 0;
  virtual void UpdateFile() = 0;

  // Decimal, or hexadecimal with "$" or "0x"; the default when the text is no 32-bit number.
  std::int32_t ReadInteger(const std::wstring& section, const std::wstring& key, std::int32_t defaultValue) const;
  void WriteInteger(const std::wstring& section, const std::wstring& key, std::int32_t value);
  // Any non-zero number is true.
  bool ReadBool(const std::wstring& section, const std::wstring& key, bool defaultValue) const;
  void WriteBool(const std::wstring& section, const std::wstring& key, bool value);
  TDateTime ReadDateTime(const std::wstring& section, const std::wstring& key, TDateTime defaultValue) const;
  void WriteDateTime(const std::wstring& section, const std::wstring& key, TDateTime value);
  bool SectionExists(const std::wstring& section) const;
  bool ValueExists(const std::wstring& section, const std::wstring& key) const;

 private:
  std::wstring fileName_;
};

// The integer rule of ReadInteger, for other readers of settings text.
bool ParseIniInteger(const std::wstring& text, std::int32_t& value);

}  // namespace nudgelet
