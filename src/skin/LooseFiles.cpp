#include "skin/LooseFiles.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/Paths.h"
#include "base/Strings.h"

namespace nudgelet::skin {
namespace {

namespace fs = std::filesystem;

fs::path ToPath(const std::wstring& path) {
#if defined(_WIN32)
  return fs::path(path);
#else
  return fs::path(WideToUtf8(ToForwardSlashes(path)));
#endif
}

std::wstring FromPath(const fs::path& path) {
#if defined(_WIN32)
  return path.wstring();
#else
  return Utf8ToWide(path.string());
#endif
}

}  // namespace

bool DiskFiles::FileExists(const std::wstring& path) const {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(ToPath(path), ec);
}

bool DiskFiles::FolderExists(const std::wstring& path) const {
  std::error_code ec;
  return !path.empty() && fs::is_directory(ToPath(path), ec);
}

std::optional<std::vector<std::uint8_t>> DiskFiles::Read(const std::wstring& path, std::uint64_t maxBytes) const {
  if (!FileExists(path)) return std::nullopt;
  std::error_code ec;
  const auto size = fs::file_size(ToPath(path), ec);
  if (ec || size > maxBytes) return std::nullopt;
  std::ifstream in(ToPath(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
    return std::nullopt;
  }
  // The file may have grown since its size was taken: a longer one is not what we measured.
  if (in.peek() != std::ifstream::traits_type::eof()) return std::nullopt;
  return bytes;
}

std::vector<FolderEntry> DiskFiles::List(const std::wstring& folder) const {
  std::vector<FolderEntry> out;
  std::error_code ec;
  fs::directory_iterator it(ToPath(folder), ec);
  if (ec) return out;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code typeError;
    out.push_back({FromPath(it->path().filename()), it->is_directory(typeError)});
  }
  return out;
}

}  // namespace nudgelet::skin
