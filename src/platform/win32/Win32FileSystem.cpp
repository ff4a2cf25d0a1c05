#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "base/Paths.h"
#include "platform/win32/Handles.h"

namespace nudgelet::platform::win32 {

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::wstring& path) const {
  const DWORD a = ::GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return a;
}

bool Win32FileSystem::SetAttributes(const std::wstring& path, std::uint32_t attributes) const {
  return ::SetFileAttributesW(path.c_str(), attributes) != FALSE;
}

std::optional<FileStamp> Win32FileSystem::Stamp(const std::wstring& path) const {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return FileStamp{(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                   (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                       data.ftLastWriteTime.dwLowDateTime};
}

bool Win32FileSystem::CreateFolders(const std::wstring& path) const {
  std::wstring folder = path;
  while (folder.size() > 3 && IsPathSeparator(folder.back())) folder.pop_back();
  if (folder.empty() || DirectoryExists(folder)) return !folder.empty();
  const auto slash = folder.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 0) {
    const std::wstring parent = folder.substr(0, slash);
    // Stop at a drive ("C:") or a UNC share root.
    if (parent.size() > 2 && !DirectoryExists(parent) && !CreateFolders(parent)) return false;
  }
  if (::CreateDirectoryW(folder.c_str(), nullptr)) return true;
  return ::GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(folder);
}

namespace {

std::uint32_t LastErrorOr(std::uint32_t fallback) {
  const DWORD e = ::GetLastError();
  return e ? e : fallback;
}

bool WriteAll(HANDLE file, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

class Win32AppendableFile final : public AppendableFile {
 public:
  explicit Win32AppendableFile(UniqueKernelHandle file) : file_(std::move(file)) {}

  std::uint64_t Size() const override {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(file_.Get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  }

  bool Append(const std::vector<std::uint8_t>& bytes) override {
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(file_.Get(), zero, nullptr, FILE_END)) return false;
    return WriteAll(file_.Get(), bytes);
  }

 private:
  UniqueKernelHandle file_;
};

}  // namespace

FileReadResult Win32FileSystem::ReadFile(const std::wstring& path, std::uint64_t maxBytes) const {
  FileReadResult result;
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    result.error = LastErrorOr(os_error::kFileNotFound);
    return result;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size)) {
    result.error = LastErrorOr(os_error::kInvalidData);
    return result;
  }
  if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
    result.error = os_error::kFileTooLarge;
    return result;
  }
  result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < result.bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - done, 1u << 30));
    if (!::ReadFile(file.Get(), result.bytes.data() + done, want, &got, nullptr)) {
      result.error = LastErrorOr(os_error::kInvalidData);
      result.bytes.clear();
      return result;
    }
    if (got == 0) break;  // the file shrank while we read it
    done += got;
  }
  result.bytes.resize(done);
  return result;
}

FileReadResult Win32FileSystem::ReadFilePart(const std::wstring& path, std::uint64_t offset, std::size_t count) const {
  FileReadResult result;
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    result.error = LastErrorOr(os_error::kFileNotFound);
    return result;
  }
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(offset);
  if (!::SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN)) {
    result.error = LastErrorOr(os_error::kInvalidData);
    return result;
  }
  result.bytes.resize(std::min<std::size_t>(count, 1u << 30));
  DWORD got = 0;
  if (!::ReadFile(file.Get(), result.bytes.data(), static_cast<DWORD>(result.bytes.size()), &got, nullptr)) {
    result.error = LastErrorOr(os_error::kInvalidData);
    got = 0;
  }
  result.bytes.resize(got);
  return result;
}

std::uint32_t Win32FileSystem::WriteFileAtomically(const std::wstring& path,
                                                   const std::vector<std::uint8_t>& bytes) const {
  // The temporary file sits beside the original so that the final move is a
  // rename within one volume, which the file system performs as one step.
  // A fixed name: a file left by a process that died here is simply reused.
  const std::wstring temporary = path + L".tmp";
  // Windows refuses to replace a read-only file, but not every system that
  // runs this program does (Wine renames over it): the attribute is the
  // owner's word that the file stays as it is.
  if (const DWORD attributes = ::GetFileAttributesW(path.c_str());
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return os_error::kAccessDenied;
  }
  {
    UniqueKernelHandle file(
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastErrorOr(os_error::kAccessDenied);
    if (!WriteAll(file.Get(), bytes) || !::FlushFileBuffers(file.Get())) {
      const std::uint32_t error = LastErrorOr(os_error::kAccessDenied);
      file.Reset();
      ::DeleteFileW(temporary.c_str());
      return error;
    }
  }
  if (!::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const std::uint32_t error = LastErrorOr(os_error::kAccessDenied);
    ::DeleteFileW(temporary.c_str());
    return error;
  }
  return 0;
}

std::uint32_t Win32FileSystem::CreateFileIfMissing(const std::wstring& path) const {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file ? 0 : LastErrorOr(os_error::kAccessDenied);
}

std::uint32_t Win32FileSystem::RemoveFile(const std::wstring& path) const {
  return ::DeleteFileW(path.c_str()) ? 0 : LastErrorOr(os_error::kAccessDenied);
}

std::unique_ptr<AppendableFile> Win32FileSystem::OpenForAppend(const std::wstring& path) const {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  return std::make_unique<Win32AppendableFile>(std::move(file));
}

std::optional<FileVersion> Win32FileSystem::FixedFileVersion(const std::wstring& path) const {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<std::uint8_t> data(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                     LOWORD(info->dwFileVersionLS)};
}

std::vector<FolderEntry> Win32FileSystem::ListFolder(const std::wstring& folder) const {
  std::vector<FolderEntry> out;
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW((IncludeTrailingBackslash(ToBackslashes(folder)) + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return out;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") out.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return out;
}

std::wstring Win32FileSystem::DecodeSystemCodePage(std::string_view bytes) const {
  if (bytes.empty()) return {};
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return {};
  const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

std::string Win32FileSystem::EncodeSystemCodePage(std::wstring_view text) const {
  if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return {};
  const int n =
      ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

}  // namespace nudgelet::platform::win32
