#include "settings/ExtIniFile.h"

#include "settings/TextFile.h"

namespace nudgelet {

TExtIniFile::TExtIniFile(const platform::FileSystem& files, const std::wstring& fileName)
    : TCustomIniFile(fileName), files_(files) {
  if (!fileName.empty()) LoadFromFile(fileName);
}

bool TExtIniFile::LoadFromFile(const std::wstring& fileName) {
  const TextFileLines read = ReadTextFileLines(files_, fileName);
  LoadFromLines(read.lines);
  return read.error == 0;
}

void TExtIniFile::LoadFromLines(const std::vector<std::wstring>& lines) { ini_ = IniSections::Parse(lines); }

std::wstring TExtIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& defaultValue) const {
  return ini_.Value(section, key).value_or(defaultValue);
}

void TExtIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  ini_.SetValue(section, key, value);
}

std::vector<std::wstring> TExtIniFile::ReadSection(const std::wstring& section) const { return ini_.KeyNames(section); }

std::vector<std::wstring> TExtIniFile::ReadSections() const { return ini_.SectionNames(); }

std::vector<std::wstring> TExtIniFile::ReadSectionValues(const std::wstring& section) const {
  return ini_.Lines(section);
}

void TExtIniFile::EraseSection(const std::wstring& section) { ini_.EraseSection(section); }

void TExtIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) { ini_.DeleteKey(section, key); }

}  // namespace nudgelet
