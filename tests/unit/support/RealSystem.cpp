#include "support/RealSystem.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#ifdef _WIN32
#include "base/Paths.h"
#include "settings/TextFile.h"
#include "platform/win32/SystemPlatform.h"
#else
#include "platform/posix/PosixDynamicLibraries.h"
#include "platform/posix/PosixFileSystem.h"
#endif

namespace nudgelet::testing {

namespace fs = std::filesystem;

#ifdef _WIN32
const platform::FileSystem& RealFiles() { return platform::win32::SystemPlatform().files; }
const platform::DynamicLibraries& RealLibraries() { return platform::win32::SystemPlatform().libraries; }
std::wstring SqliteLibrary() {
  return ExtractFilePath(platform::win32::SystemPlatform().folders.ExecutablePath()) + L"sqlite3.dll";
}
#else
const platform::FileSystem& RealFiles() {
  static const platform::posix::PosixFileSystem files;
  return files;
}
const platform::DynamicLibraries& RealLibraries() {
  static const platform::posix::PosixDynamicLibraries libraries;
  return libraries;
}
std::wstring SqliteLibrary() { return L"libsqlite3.so.0"; }
#endif

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  // Test cases run as parallel processes natively: the clock alone could collide.
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count() ^ std::random_device{}();
  const fs::path folder = fs::temp_directory_path() / ("nudgelet-test-" + std::to_string(stamp) + "-" +
                                                       std::to_string(++counter));
  fs::create_directories(folder);
  path_ = (folder / "").wstring();
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(fs::path(path_), ignored);
}

std::vector<std::uint8_t> ReadBytes(const std::wstring& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::wstring& path, const std::string& text) {
  WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace nudgelet::testing
