#include "usagecounter/CacheFile.h"

#include <windows.h>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32FileSystem.h"
#include "usagecounter/NamedLock.h"
#include "usagestats/CachePath.h"

namespace nudgelet::usagecounter {
namespace {

using platform::win32::UniqueKernelHandle;

// Holders of the lock only do local file work, so waiting longer than this
// means something is wrong; the caller gets an error instead of a hang.
constexpr DWORD kLockTimeoutMs = 5000;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool ReadAt(HANDLE file, std::uint64_t offset, char* buffer, DWORD size) {
  while (size > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (!::ReadFile(file, buffer, size, &read, &at) || read == 0) return false;
    buffer += read;
    size -= read;
    offset += read;
  }
  return true;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  // Cache content is bounded far below 4 GB; one call keeps an append whole.
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

CacheFile::CacheFile(const std::wstring& folder, usagestats::CacheLimits limits)
    : folder_(folder),
      path_(folder.empty() ? std::wstring() : usagestats::CacheFileIn(folder)),
      lockName_(usagestats::CacheLockName(path_)),
      limits_(limits) {}

CacheStatus CacheFile::Append(std::string_view line) {
  if (path_.empty()) return CacheStatus::IoError;
  auto lock = NamedLock::Acquire(lockName_, kLockTimeoutMs);
  if (!lock) return CacheStatus::Busy;
  if (!platform::win32::Win32FileSystem().CreateFolders(folder_)) return CacheStatus::IoError;

  std::uint64_t newSize = 0;
  {
    UniqueKernelHandle file(::CreateFileW(path_.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE, kShareAll,
                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return CacheStatus::IoError;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) return CacheStatus::IoError;
    std::string bytes;
    if (size.QuadPart > 0) {
      // A tail without line feed is a line some crashed writer never finished;
      // ours starts on a fresh line so that the fragment cannot spoil it.
      char last = 0;
      if (!ReadAt(file.Get(), static_cast<std::uint64_t>(size.QuadPart) - 1, &last, 1)) return CacheStatus::IoError;
      if (last != '\n') bytes.push_back('\n');
    }
    bytes += line;
    if (!WriteAll(file.Get(), bytes) || !::FlushFileBuffers(file.Get())) return CacheStatus::IoError;
    newSize = static_cast<std::uint64_t>(size.QuadPart) + bytes.size();
  }
  if (newSize <= limits_.capBytes) return CacheStatus::Ok;

  std::vector<std::string> lines;
  bool clean = false;
  if (const auto status = ReadLocked(lines, clean); status != CacheStatus::Ok) return status;
  return ReplaceLocked(usagestats::KeepNewest(std::move(lines), limits_.trimToBytes));
}

CacheStatus CacheFile::Read(std::vector<std::string>& lines) {
  lines.clear();
  if (path_.empty()) return CacheStatus::IoError;
  auto lock = NamedLock::Acquire(lockName_, kLockTimeoutMs);
  if (!lock) return CacheStatus::Busy;
  bool clean = false;
  return ReadLocked(lines, clean);
}

CacheStatus CacheFile::Rewrite(const Change& change) {
  if (path_.empty()) return CacheStatus::IoError;
  auto lock = NamedLock::Acquire(lockName_, kLockTimeoutMs);
  if (!lock) return CacheStatus::Busy;
  std::vector<std::string> lines;
  bool clean = false;
  if (const auto status = ReadLocked(lines, clean); status != CacheStatus::Ok) return status;
  std::vector<std::string> changed = change(lines);
  if (clean && changed == lines) return CacheStatus::Ok;
  return ReplaceLocked(changed);
}

// clean tells whether the file holds exactly the returned lines, so that a
// rewrite that changes no event can leave it alone.
CacheStatus CacheFile::ReadLocked(std::vector<std::string>& lines, bool& clean) {
  lines.clear();
  clean = true;
  UniqueKernelHandle file(
      ::CreateFileW(path_.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? CacheStatus::Ok : CacheStatus::IoError;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size)) return CacheStatus::IoError;
  const auto total = static_cast<std::uint64_t>(size.QuadPart);
  // Past the read limit only the end counts; one byte more than the window
  // shows whether the window starts on a line of its own.
  const bool windowed = total > limits_.readLimitBytes;
  const std::uint64_t start = windowed ? total - limits_.readLimitBytes - 1 : 0;
  std::string bytes(static_cast<std::size_t>(total - start), '\0');
  if (!bytes.empty() && !ReadAt(file.Get(), start, bytes.data(), static_cast<DWORD>(bytes.size()))) {
    return CacheStatus::IoError;
  }
  lines = usagestats::EventLines(bytes, windowed);
  clean = !windowed && usagestats::JoinCacheLines(lines) == bytes;
  return CacheStatus::Ok;
}

CacheStatus CacheFile::ReplaceLocked(const std::vector<std::string>& lines) {
  const std::wstring temporary = path_ + L".tmp";
  {
    UniqueKernelHandle file(
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return CacheStatus::IoError;
    // Flushed before the rename: after a crash the cache is the old or the
    // new content, never a renamed empty file.
    if (!WriteAll(file.Get(), usagestats::JoinCacheLines(lines)) || !::FlushFileBuffers(file.Get())) {
      file.Reset();
      ::DeleteFileW(temporary.c_str());
      return CacheStatus::IoError;
    }
  }
  if (!::MoveFileExW(temporary.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(temporary.c_str());
    return CacheStatus::IoError;
  }
  return CacheStatus::Ok;
}

}  // namespace nudgelet::usagecounter
