#include "support/ScratchFolder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace nudgelet::testing {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(std::wstring_view tag) {
  static std::atomic<int> counter{0};
  // Test cases run as parallel processes: the clock alone could collide.
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count() ^ std::random_device{}();
  const fs::path folder = fs::temp_directory_path() / (L"nudgelet-" + std::wstring(tag) + L"-" +
                                                       std::to_wstring(stamp) + L"-" + std::to_wstring(++counter));
  fs::create_directories(folder);
  path_ = (folder / "").wstring();
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  // Tests leave read-only files behind on purpose; Windows deletes those only once they are writable.
  for (auto it = fs::recursive_directory_iterator(path_, ignored); !ignored && it != fs::recursive_directory_iterator();
       it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ignored);
  }
  fs::remove_all(fs::path(path_), ignored);
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace nudgelet::testing
