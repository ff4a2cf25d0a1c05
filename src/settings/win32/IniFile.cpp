#include "settings/win32/IniFile.h"

#include <windows.h>

#include "base/Paths.h"
#include "settings/SafeIniFile.h"
#include "settings/TextFile.h"

namespace nudgelet::platform::win32 {
namespace {

// Reads a profile answer, growing the buffer by half while the system says it is too small.
template <typename Query>
std::wstring GrowingRead(DWORD initialSize, Query query) {
  std::wstring buffer(initialSize, L'\0');
  while (true) {
    ::SetLastError(0);
    const DWORD length = query(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (::GetLastError() != ERROR_MORE_DATA && length + 2 < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    if (buffer.size() > (64u << 20)) {  // no ini section is that large; stop growing
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() + buffer.size() / 2);
  }
}

std::vector<std::wstring> SplitZeroTerminated(const std::wstring& list) {
  std::vector<std::wstring> out;
  std::size_t start = 0;
  while (start < list.size()) {
    const auto end = list.find(L'\0', start);
    const std::size_t stop = end == std::wstring::npos ? list.size() : end;
    if (stop > start) out.push_back(list.substr(start, stop - start));
    start = stop + 1;
  }
  return out;
}

}  // namespace

TIniFile::TIniFile(const FileSystem& files, const std::wstring& fileName)
    : TCustomIniFile(fileName), files_(files), path_(ProfilePath(fileName)) {
  EnsureFolder();
  if (const auto attributes = files_.Attributes(path_); attributes && (*attributes & file_attribute::kReadOnly)) {
    files_.SetAttributes(path_, file_attribute::kNormal);
  }
}

TIniFile::TIniFile(const FileSystem& files, const std::wstring& fileName, AsItIs)
    : TCustomIniFile(fileName), files_(files), path_(ProfilePath(fileName)) {}

std::wstring TIniFile::ProfilePath(const std::wstring& fileName) {
  const std::wstring folder = ExtractFilePath(fileName);
  if (folder.empty() || folder == L"\\") return L".\\" + fileName;
  return fileName;
}

void TIniFile::EnsureFolder() const {
  const std::wstring folder = ExtractFilePath(path_);
  if (!folder.empty() && folder != L".\\") ForceFolder(files_, folder);
}

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& defaultValue) const {
  return GrowingRead(2048, [&](wchar_t* buffer, DWORD size) {
    return ::GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer, size, path_.c_str());
  });
}

// Windows' profile functions refuse a read-only file; where the process may
// write anyway (Wine running as root), the attribute still has the last word.
bool TIniFile::ReadOnly() const {
  const DWORD attributes = ::GetFileAttributesW(path_.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void TIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  if (ReadOnly()) return;
  ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path_.c_str());
}

std::vector<std::wstring> TIniFile::ReadSection(const std::wstring& section) const {
  return SplitZeroTerminated(GrowingRead(16384, [&](wchar_t* buffer, DWORD size) {
    return ::GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer, size, path_.c_str());
  }));
}

std::vector<std::wstring> TIniFile::ReadSections() const {
  return SplitZeroTerminated(GrowingRead(16384, [&](wchar_t* buffer, DWORD size) {
    return ::GetPrivateProfileSectionNamesW(buffer, size, path_.c_str());
  }));
}

std::vector<std::wstring> TIniFile::ReadSectionValues(const std::wstring& section) const {
  std::vector<std::wstring> lines;
  for (const auto& key : ReadSection(section)) lines.push_back(key + L"=" + ReadString(section, key, L""));
  return lines;
}

void TIniFile::EraseSection(const std::wstring& section) {
  if (ReadOnly()) return;
  ::WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, path_.c_str());
}

void TIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
  if (ReadOnly()) return;
  ::WritePrivateProfileStringW(section.c_str(), key.c_str(), nullptr, path_.c_str());
}

void TIniFile::UpdateFile() {
  EnsureFolder();
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());
}

}  // namespace nudgelet::platform::win32
