#include "detection/RedirectedFiles.h"

#include "platform/ProcessModel.h"

namespace nudgelet::detection {
namespace {

const platform::FileSystem& Unwrapped(const platform::FileSystem& files) {
  const auto* view = dynamic_cast<const TRedirectedFiles*>(&files);
  return view ? view->Inner() : files;
}

}  // namespace

TRedirectedFiles::TRedirectedFiles(const platform::FileSystem& files, const platform::SpecialFolders& folders,
                                   const platform::SystemFacts& system)
    : files_(Unwrapped(files)),
      windowsDirectory_(folders.WindowsDirectory()),
      is64BitWindows_(system.Is64BitWindows()) {}

std::wstring TRedirectedFiles::Map(const std::wstring& path) const {
  return platform::FileSystemPath(path, windowsDirectory_, is64BitWindows_);
}

std::optional<std::uint32_t> TRedirectedFiles::Attributes(const std::wstring& path) const {
  return files_.Attributes(Map(path));
}
std::optional<platform::FileStamp> TRedirectedFiles::Stamp(const std::wstring& path) const {
  return files_.Stamp(Map(path));
}
bool TRedirectedFiles::SetAttributes(const std::wstring& path, std::uint32_t attributes) const {
  return files_.SetAttributes(Map(path), attributes);
}
bool TRedirectedFiles::CreateFolders(const std::wstring& path) const { return files_.CreateFolders(Map(path)); }
platform::FileReadResult TRedirectedFiles::ReadFile(const std::wstring& path, std::uint64_t maxBytes) const {
  return files_.ReadFile(Map(path), maxBytes);
}
platform::FileReadResult TRedirectedFiles::ReadFilePart(const std::wstring& path, std::uint64_t offset,
                                                        std::size_t count) const {
  return files_.ReadFilePart(Map(path), offset, count);
}
std::uint32_t TRedirectedFiles::WriteFileAtomically(const std::wstring& path,
                                                    const std::vector<std::uint8_t>& bytes) const {
  return files_.WriteFileAtomically(Map(path), bytes);
}
std::uint32_t TRedirectedFiles::CreateFileIfMissing(const std::wstring& path) const {
  return files_.CreateFileIfMissing(Map(path));
}
std::uint32_t TRedirectedFiles::RemoveFile(const std::wstring& path) const { return files_.RemoveFile(Map(path)); }
std::unique_ptr<platform::AppendableFile> TRedirectedFiles::OpenForAppend(const std::wstring& path) const {
  return files_.OpenForAppend(Map(path));
}
std::optional<platform::FileVersion> TRedirectedFiles::FixedFileVersion(const std::wstring& path) const {
  return files_.FixedFileVersion(Map(path));
}
std::vector<platform::FolderEntry> TRedirectedFiles::ListFolder(const std::wstring& folder) const {
  return files_.ListFolder(Map(folder));
}
std::wstring TRedirectedFiles::DecodeSystemCodePage(std::string_view bytes) const {
  return files_.DecodeSystemCodePage(bytes);
}
std::string TRedirectedFiles::EncodeSystemCodePage(std::wstring_view text) const {
  return files_.EncodeSystemCodePage(text);
}

}  // namespace nudgelet::detection
