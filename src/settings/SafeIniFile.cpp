#include "settings/SafeIniFile.h"

#include "base/Paths.h"
#include "settings/TextFile.h"

namespace nudgelet {

using platform::file_attribute::kHidden;
using platform::file_attribute::kReadOnly;

bool ForceFolder(const platform::FileSystem& files, const std::wstring& folder) {
  for (int attempt = 0; attempt < 101; ++attempt) {
    if (files.DirectoryExists(ExcludeTrailingBackslash(folder))) return true;
    files.CreateFolders(folder);
  }
  return files.DirectoryExists(ExcludeTrailingBackslash(folder));
}

TSafeIniFile::TSafeIniFile(const platform::FileSystem& files, const std::wstring& fileName)
    : TCustomIniFile(fileName), files_(files) {
  if (fileName.empty()) return;
  Load();
  if (!files_.Exists(fileName)) {
    const std::wstring folder = ExtractFilePath(fileName);
    if (!folder.empty()) ForceFolder(files_, folder);
    files_.CreateFileIfMissing(fileName);
  }
  loadFailed_ = lastError_ != 0;
}

TSafeIniFile::~TSafeIniFile() {
  if (modified_ && !loadFailed_) UpdateFile();
}

void TSafeIniFile::Load() {
  lastError_ = 0;
  if (!files_.Exists(FileName())) return;
  const TextFileLines read = ReadTextFileLines(files_, FileName());
  if (read.error != 0) {
    lastError_ = read.error;
    return;
  }
  ini_ = IniSections::Parse(read.lines);
}

void TSafeIniFile::LoadFromBytes(const std::vector<std::uint8_t>& bytes) {
  const TextFileLines read =
      DecodeTextFileLines(bytes, [this](std::string_view b) { return files_.DecodeSystemCodePage(b); });
  if (read.error != 0) return;
  ini_ = IniSections::Parse(read.lines);
  modified_ = true;
}

std::wstring TSafeIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                      const std::wstring& defaultValue) const {
  return ini_.Value(section, key).value_or(defaultValue);
}

void TSafeIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  ini_.SetValue(section, key, value);
  modified_ = true;
}

std::vector<std::wstring> TSafeIniFile::ReadSection(const std::wstring& section) const {
  return ini_.KeyNames(section);
}

std::vector<std::wstring> TSafeIniFile::ReadSections() const { return ini_.SectionNames(); }

std::vector<std::wstring> TSafeIniFile::ReadSectionValues(const std::wstring& section) const {
  return ini_.Lines(section);
}

void TSafeIniFile::EraseSection(const std::wstring& section) {
  // Every section of that name: erasing only the first would bring back the
  // values of a repeated one.
  if (ini_.EraseSection(section)) modified_ = true;
}

void TSafeIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
  ini_.DeleteKey(section, key);
  modified_ = true;
}

std::wstring TSafeIniFile::SavePath() const {
  const std::wstring folder = ExtractFilePath(FileName());
  if (folder.empty() || folder == L"\\") return L".\\" + FileName();
  ForceFolder(files_, folder);
  return FileName();
}

void TSafeIniFile::UpdateFile() {
  if (FileName().empty()) return;
  const std::wstring path = SavePath();
  const auto attributes = files_.Attributes(path);
  const bool unlock = attributes && (*attributes & (kReadOnly | kHidden)) != 0;
  if (unlock) files_.SetAttributes(path, *attributes & ~(kReadOnly | kHidden));
  lastError_ = files_.WriteFileAtomically(path, EncodeUtf16LeLines(ini_.ToLines()));
  if (unlock) files_.SetAttributes(path, *attributes);
  if (lastError_ == 0) modified_ = false;
}

}  // namespace nudgelet
