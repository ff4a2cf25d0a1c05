#include "base/Paths.h"

namespace nudgelet {
namespace {

std::size_t FolderEnd(const std::wstring& path) { return path.find_last_of(L"\\:"); }

std::wstring Replaced(std::wstring_view path, wchar_t from, wchar_t to) {
  std::wstring out(path);
  for (wchar_t& c : out) {
    if (c == from) c = to;
  }
  return out;
}

}  // namespace

std::wstring ExtractFilePath(const std::wstring& path) {
  const auto pos = FolderEnd(path);
  return pos == std::wstring::npos ? std::wstring() : path.substr(0, pos + 1);
}

std::wstring ExtractFileName(const std::wstring& path) {
  const auto pos = FolderEnd(path);
  return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

std::wstring ExtractFileExt(const std::wstring& path) {
  const auto folder = path.find_last_of(L"\\/:");
  const std::wstring name = folder == std::wstring::npos ? path : path.substr(folder + 1);
  const auto dot = name.rfind(L'.');
  return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
}

std::wstring IncludeTrailingBackslash(const std::wstring& path) {
  return !path.empty() && path.back() == L'\\' ? path : path + L'\\';
}

std::wstring ExcludeTrailingBackslash(const std::wstring& path) {
  return !path.empty() && path.back() == L'\\' ? path.substr(0, path.size() - 1) : path;
}

std::wstring ToBackslashes(std::wstring_view path) { return Replaced(path, L'/', L'\\'); }
std::wstring ToForwardSlashes(std::wstring_view path) { return Replaced(path, L'\\', L'/'); }

}  // namespace nudgelet
