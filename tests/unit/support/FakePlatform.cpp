#include "support/FakePlatform.h"

#include "platform/SpecialFolders.h"

namespace nudgelet::testing {

using namespace platform;

std::wstring InMemoryFileSystem::Spelled(const std::wstring& path) {
  std::wstring p = path;
  if (p.rfind(L".\\", 0) == 0) p = p.substr(2);
  if (p.size() < 2 || p[1] != L':') p = L"C:\\Work\\" + p;
  while (p.size() > 3 && p.back() == L'\\') p.pop_back();
  return p;
}

std::wstring InMemoryFileSystem::Key(const std::wstring& path) { return ToUpper(Spelled(path)); }

void InMemoryFileSystem::RememberSpelling(const std::wstring& path) const {
  for (std::wstring spelled = Spelled(path); spelled.size() > 3; spelled = Parent(spelled)) {
    names_.emplace(ToUpper(spelled), spelled.substr(spelled.find_last_of(L'\\') + 1));
  }
}

std::wstring InMemoryFileSystem::Parent(const std::wstring& key) {
  const auto pos = key.find_last_of(L'\\');
  if (pos == std::wstring::npos) return {};
  return pos <= 2 ? key.substr(0, 3) : key.substr(0, pos);
}

InMemoryFileSystem::InMemoryFileSystem() {
  for (const wchar_t* f : {L"C:\\", L"C:\\Work", L"C:\\Windows", L"C:\\Windows\\system32"}) folders_.insert(Key(f));
}

void InMemoryFileSystem::AddFile(const std::wstring& path, std::vector<std::uint8_t> bytes, std::uint32_t attributes) {
  {
    std::lock_guard lock(mutex_);
    RememberSpelling(path);
  }
  CreateFolders(Parent(Key(path)));
  std::lock_guard lock(mutex_);
  files_[Key(path)] = File{std::move(bytes), attributes, ++writes_};
}

void InMemoryFileSystem::AddFolder(const std::wstring& path) { CreateFolders(path); }

std::vector<std::uint8_t> InMemoryFileSystem::Bytes(const std::wstring& path) const {
  std::lock_guard lock(mutex_);
  auto it = files_.find(Key(path));
  return it == files_.end() ? std::vector<std::uint8_t>{} : it->second.bytes;
}

std::optional<std::uint32_t> InMemoryFileSystem::Attributes(const std::wstring& path) const {
  std::lock_guard lock(mutex_);
  const std::wstring key = Key(path);
  if (auto it = files_.find(key); it != files_.end()) return it->second.attributes;
  if (folders_.count(key)) return file_attribute::kDirectory;
  return std::nullopt;
}

std::optional<FileStamp> InMemoryFileSystem::Stamp(const std::wstring& path) const {
  std::lock_guard lock(mutex_);
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return FileStamp{it->second.bytes.size(), it->second.written};
}

bool InMemoryFileSystem::SetAttributes(const std::wstring& path, std::uint32_t attributes) const {
  std::lock_guard lock(mutex_);
  auto it = files_.find(Key(path));
  if (it == files_.end()) return false;
  it->second.attributes = attributes == file_attribute::kNormal ? 0 : attributes;
  return true;
}

bool InMemoryFileSystem::CreateFolders(const std::wstring& path) const {
  std::lock_guard lock(mutex_);
  RememberSpelling(path);
  std::vector<std::wstring> chain;
  for (std::wstring key = Key(path); key.size() > 3; key = Parent(key)) chain.push_back(key);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (files_.count(*it) || denied_.count(*it)) return false;
    folders_.insert(*it);
  }
  return true;
}

FileReadResult InMemoryFileSystem::ReadFile(const std::wstring& path, std::uint64_t maxBytes) const {
  std::lock_guard lock(mutex_);
  FileReadResult result;
  const std::wstring key = Key(path);
  auto it = files_.find(key);
  if (it == files_.end()) result.error = os_error::kFileNotFound;
  else if (locked_.count(key)) result.error = os_error::kSharingViolation;
  else if (it->second.bytes.size() > maxBytes) result.error = os_error::kFileTooLarge;
  else result.bytes = it->second.bytes;
  return result;
}

FileReadResult InMemoryFileSystem::ReadFilePart(const std::wstring& path, std::uint64_t offset,
                                                std::size_t count) const {
  FileReadResult result = ReadFile(path, UINT64_MAX);
  if (result.error) return result;
  if (offset >= result.bytes.size()) {
    result.bytes.clear();
  } else {
    const std::size_t start = static_cast<std::size_t>(offset);
    result.bytes = std::vector<std::uint8_t>(
        result.bytes.begin() + static_cast<std::ptrdiff_t>(start),
        result.bytes.begin() + static_cast<std::ptrdiff_t>(std::min(result.bytes.size(), start + count)));
  }
  return result;
}

std::uint32_t InMemoryFileSystem::WriteFileAtomically(const std::wstring& path,
                                                      const std::vector<std::uint8_t>& bytes) const {
  std::lock_guard lock(mutex_);
  const std::wstring key = Key(path);
  if (!folders_.count(Parent(key))) return os_error::kPathNotFound;
  if (locked_.count(key)) return os_error::kSharingViolation;
  auto it = files_.find(key);
  if (it != files_.end() && (it->second.attributes & file_attribute::kReadOnly)) return os_error::kAccessDenied;
  ++atomicWrites_;
  files_[key] = File{bytes, file_attribute::kArchive, ++writes_};
  return 0;
}

std::uint32_t InMemoryFileSystem::CreateFileIfMissing(const std::wstring& path) const {
  std::lock_guard lock(mutex_);
  const std::wstring key = Key(path);
  if (files_.count(key)) return 0;
  if (!folders_.count(Parent(key))) return os_error::kPathNotFound;
  files_[key] = File{{}, 0x20, ++writes_};
  return 0;
}

std::uint32_t InMemoryFileSystem::RemoveFile(const std::wstring& path) const {
  std::lock_guard lock(mutex_);
  const std::wstring key = Key(path);
  auto it = files_.find(key);
  if (it == files_.end()) return os_error::kFileNotFound;
  if (locked_.count(key)) return os_error::kSharingViolation;
  if (it->second.attributes & file_attribute::kReadOnly) return os_error::kAccessDenied;
  files_.erase(it);
  return 0;
}

class InMemoryFileSystem::Appender final : public AppendableFile {
 public:
  Appender(const InMemoryFileSystem& fs, std::wstring key) : fs_(fs), key_(std::move(key)) {}
  std::uint64_t Size() const override {
    std::lock_guard lock(fs_.mutex_);
    return fs_.files_[key_].bytes.size();
  }
  bool Append(const std::vector<std::uint8_t>& bytes) override {
    std::lock_guard lock(fs_.mutex_);
    File& file = fs_.files_[key_];
    file.bytes.insert(file.bytes.end(), bytes.begin(), bytes.end());
    file.written = ++fs_.writes_;
    return true;
  }

 private:
  const InMemoryFileSystem& fs_;
  std::wstring key_;
};

std::unique_ptr<AppendableFile> InMemoryFileSystem::OpenForAppend(const std::wstring& path) const {
  std::lock_guard lock(mutex_);
  const std::wstring key = Key(path);
  if (!folders_.count(Parent(key)) || locked_.count(key)) return nullptr;
  files_[key];
  return std::make_unique<Appender>(*this, key);
}

std::optional<FileVersion> InMemoryFileSystem::FixedFileVersion(const std::wstring& path) const {
  auto it = versions_.find(Key(path));
  if (it == versions_.end()) return std::nullopt;
  return it->second;
}

std::vector<FolderEntry> InMemoryFileSystem::ListFolder(const std::wstring& folder) const {
  std::lock_guard lock(mutex_);
  std::wstring prefix = Key(folder);
  if (prefix.back() != L'\\') prefix += L'\\';
  std::vector<FolderEntry> out;
  const auto add = [&](const std::wstring& key, bool isFolder) {
    if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0) return;
    if (key.find(L'\\', prefix.size()) != std::wstring::npos) return;  // deeper down
    const auto name = names_.find(key);
    out.push_back({name != names_.end() ? name->second : key.substr(prefix.size()), isFolder});
  };
  for (const auto& [key, file] : files_) add(key, false);
  for (const auto& key : folders_) add(key, true);
  return out;
}

std::wstring InMemoryFileSystem::DecodeSystemCodePage(std::string_view bytes) const { return Latin1ToWide(bytes); }

std::string InMemoryFileSystem::EncodeSystemCodePage(std::wstring_view text) const {
  std::string out;
  for (wchar_t c : text) out.push_back(static_cast<std::uint32_t>(c) < 256 ? static_cast<char>(c) : '?');
  return out;
}

std::optional<std::wstring> FakeSystemFacts::EnvironmentVariable(const std::wstring& name) const {
  auto it = environment.find(name);
  if (it == environment.end()) return std::nullopt;
  return it->second;
}

void FakeSystemFacts::DebugOutput(const std::wstring& text) const {
  std::lock_guard lock(mutex_);
  debugOutput.push_back(text);
}

std::wstring FakeSpecialFolders::ShellFolder(int csidl) const {
  auto it = shell.find(csidl);
  return it == shell.end() ? std::wstring() : it->second;
}

FakePlatform::FakePlatform() {
  folders.shell = {
      {csidl::kAppData, L"C:\\Users\\tester\\AppData\\Roaming"},
      {csidl::kLocalAppData, L"C:\\Users\\tester\\AppData\\Local"},
      {csidl::kCommonAppData, L"C:\\ProgramData"},
      {csidl::kProgramFiles, L"C:\\Program Files"},
      {csidl::kProgramFilesX86, L"C:\\Program Files (x86)"},
      {csidl::kProgramFilesCommon, L"C:\\Program Files\\Common Files"},
      {csidl::kProgramFilesCommonX86, L"C:\\Program Files (x86)\\Common Files"},
      {csidl::kProfile, L"C:\\Users\\tester"},
      {csidl::kDesktopDirectory, L"C:\\Users\\tester\\Desktop"},
      {csidl::kCommonDesktopDirectory, L"C:\\Users\\Public\\Desktop"},
      {csidl::kPrograms, L"C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
      {csidl::kStartMenu, L"C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
      {csidl::kCommonStartMenu, L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
      {csidl::kCommonPrograms, L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
  };
  system.environment = {{L"APPDATA", L"C:\\Users\\tester\\AppData\\Roaming"},
                        {L"USERPROFILE", L"C:\\Users\\tester"},
                        {L"ProgramFiles", L"C:\\Program Files"},
                        {L"ProgramFiles(x86)", L"C:\\Program Files (x86)"}};
}

std::vector<std::uint8_t> Utf16LeWithBom(const std::wstring& text) {
  std::vector<std::uint8_t> bytes{0xFF, 0xFE};
  const auto body = WideToUtf16Le(text);
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

std::vector<std::uint8_t> AsBytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace nudgelet::testing
