#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>

#include <cerrno>
#include <filesystem>

#include "base/Paths.h"
#include "base/Strings.h"
#include "platform/PeVersion.h"

namespace nudgelet::platform::posix {
namespace {

std::string Native(const std::wstring& path) { return WideToUtf8(ToForwardSlashes(path)); }

std::uint32_t WindowsError(int error) {
  switch (error) {
    case 0:
      return 0;
    case ENOENT:
      return os_error::kFileNotFound;
    case ENOTDIR:
      return os_error::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return os_error::kAccessDenied;
    case EBUSY:
    case ETXTBSY:
      return os_error::kSharingViolation;
    case EFBIG:
      return os_error::kFileTooLarge;
    default:
      return os_error::kInvalidData;
  }
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // close() reports write-back errors that write() did not.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

class PosixAppendableFile final : public AppendableFile {
 public:
  explicit PosixAppendableFile(int fd) : fd_(fd) {}
  std::uint64_t Size() const override {
    struct stat st {};
    return ::fstat(fd_.Get(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  }
  bool Append(const std::vector<std::uint8_t>& bytes) override {
    return WriteAll(fd_.Get(), bytes.data(), bytes.size());
  }

 private:
  Descriptor fd_;
};

}  // namespace

std::optional<std::uint32_t> PosixFileSystem::Attributes(const std::wstring& path) const {
  struct stat st {};
  if (path.empty() || ::stat(Native(path).c_str(), &st) != 0) return std::nullopt;
  std::uint32_t attributes = S_ISDIR(st.st_mode) ? file_attribute::kDirectory : file_attribute::kArchive;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= file_attribute::kReadOnly;
  return attributes;
}

std::optional<FileStamp> PosixFileSystem::Stamp(const std::wstring& path) const {
  struct stat st {};
  if (path.empty() || ::stat(Native(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  // Seconds and nanoseconds since 1970 as Windows counts: 100 ns since 1601.
  constexpr std::uint64_t kEpochDifference = 116444736000000000ull;
  const auto time = static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 10000000ull +
                    static_cast<std::uint64_t>(st.st_mtim.tv_nsec) / 100 + kEpochDifference;
  return FileStamp{static_cast<std::uint64_t>(st.st_size), time};
}

bool PosixFileSystem::SetAttributes(const std::wstring& path, std::uint32_t attributes) const {
  struct stat st {};
  const std::string native = Native(path);
  if (::stat(native.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & file_attribute::kReadOnly) ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
  return ::chmod(native.c_str(), mode) == 0;
}

bool PosixFileSystem::CreateFolders(const std::wstring& path) const {
  std::string folder = Native(path);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty()) return false;
  if (DirectoryExists(path)) return true;
  const auto slash = folder.rfind('/');
  if (slash != std::string::npos && slash > 0 && !CreateFolders(Utf8ToWide(folder.substr(0, slash)))) return false;
  if (::mkdir(folder.c_str(), 0777) == 0) return true;
  return errno == EEXIST && DirectoryExists(path);
}

FileReadResult PosixFileSystem::ReadFile(const std::wstring& path, std::uint64_t maxBytes) const {
  FileReadResult result;
  Descriptor fd(::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (!fd || ::fstat(fd.Get(), &st) != 0) {
    result.error = WindowsError(errno);
    return result;
  }
  if (S_ISDIR(st.st_mode)) {
    result.error = os_error::kAccessDenied;
    return result;
  }
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    result.error = os_error::kFileTooLarge;
    return result;
  }
  result.bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < result.bytes.size()) {
    const ssize_t n = ::read(fd.Get(), result.bytes.data() + done, result.bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.error = WindowsError(errno);
      result.bytes.clear();
      return result;
    }
    if (n == 0) break;  // the file shrank while we read it
    done += static_cast<std::size_t>(n);
  }
  result.bytes.resize(done);
  return result;
}

FileReadResult PosixFileSystem::ReadFilePart(const std::wstring& path, std::uint64_t offset, std::size_t count) const {
  FileReadResult result;
  Descriptor fd(::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    result.error = WindowsError(errno);
    return result;
  }
  result.bytes.resize(std::min<std::size_t>(count, std::size_t{1} << 30));
  ssize_t n;
  do {
    n = ::pread(fd.Get(), result.bytes.data(), result.bytes.size(), static_cast<off_t>(offset));
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    result.error = WindowsError(errno);
    n = 0;
  }
  result.bytes.resize(static_cast<std::size_t>(n));
  return result;
}

std::uint32_t PosixFileSystem::WriteFileAtomically(const std::wstring& path,
                                                   const std::vector<std::uint8_t>& bytes) const {
  const std::string target = Native(path);
  const std::string temporary = target + ".tmp";
  Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd) return WindowsError(errno);
  if (!WriteAll(fd.Get(), bytes.data(), bytes.size()) || ::fsync(fd.Get()) != 0 || !fd.Close()) {
    const std::uint32_t error = WindowsError(errno);
    ::unlink(temporary.c_str());
    return error ? error : os_error::kAccessDenied;
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const std::uint32_t error = WindowsError(errno);
    ::unlink(temporary.c_str());
    return error;
  }
  return 0;
}

std::uint32_t PosixFileSystem::CreateFileIfMissing(const std::wstring& path) const {
  Descriptor fd(::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
  return fd ? 0 : WindowsError(errno);
}

std::uint32_t PosixFileSystem::RemoveFile(const std::wstring& path) const {
  return ::unlink(Native(path).c_str()) == 0 ? 0 : WindowsError(errno);
}

std::unique_ptr<AppendableFile> PosixFileSystem::OpenForAppend(const std::wstring& path) const {
  const int fd = ::open(Native(path).c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixAppendableFile>(fd);
}

std::optional<FileVersion> PosixFileSystem::FixedFileVersion(const std::wstring& path) const {
  // Windows executables are inspected here too; their version resource is read directly.
  return ReadPeFileVersion(
      [&](std::uint64_t offset, std::size_t count) { return ReadFilePart(path, offset, count).bytes; });
}

std::vector<FolderEntry> PosixFileSystem::ListFolder(const std::wstring& folder) const {
  std::vector<FolderEntry> out;
  std::error_code error;
  for (std::filesystem::directory_iterator it(Native(folder), error), end; !error && it != end; it.increment(error)) {
    out.push_back({Utf8ToWide(it->path().filename().string()), it->is_directory(error)});
  }
  return out;
}

std::wstring PosixFileSystem::DecodeSystemCodePage(std::string_view bytes) const { return Utf8ToWide(bytes); }

std::string PosixFileSystem::EncodeSystemCodePage(std::wstring_view text) const { return WideToUtf8(text); }

}  // namespace nudgelet::platform::posix
