#pragma once
// Test doubles for the platform interfaces: an in-memory file system, a
// configurable system, folders, processes and libraries, and an in-memory
// registry; together one Platform for the portable code under test.

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "platform/InMemoryRegistry.h"
#include "platform/Platform.h"

namespace nudgelet::testing {

// Windows paths, compared without regard to case. Relative paths are taken
// from the current folder "C:\Work\".
class InMemoryFileSystem : public platform::FileSystem {
 public:
  InMemoryFileSystem();

  void AddFile(const std::wstring& path, std::vector<std::uint8_t> bytes, std::uint32_t attributes = 0x20);
  void AddFolder(const std::wstring& path);
  std::vector<std::uint8_t> Bytes(const std::wstring& path) const;
  // A file another process holds open without sharing: it cannot be read or replaced.
  void Lock(const std::wstring& path) { locked_.insert(Key(path)); }
  // Folders that cannot be created (no permission).
  void DenyFolderCreation(const std::wstring& path) { denied_.insert(Key(path)); }
  void SetVersion(const std::wstring& path, platform::FileVersion v) { versions_[Key(path)] = v; }
  int AtomicWrites() const { return atomicWrites_; }

  std::optional<std::uint32_t> Attributes(const std::wstring& path) const override;
  bool SetAttributes(const std::wstring& path, std::uint32_t attributes) const override;
  bool CreateFolders(const std::wstring& path) const override;
  // The last-write time is a count of writes to the file system, so every write moves it.
  std::optional<platform::FileStamp> Stamp(const std::wstring& path) const override;
  platform::FileReadResult ReadFile(const std::wstring& path, std::uint64_t maxBytes) const override;
  platform::FileReadResult ReadFilePart(const std::wstring& path, std::uint64_t offset,
                                        std::size_t count) const override;
  std::uint32_t WriteFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes) const override;
  std::uint32_t CreateFileIfMissing(const std::wstring& path) const override;
  std::uint32_t RemoveFile(const std::wstring& path) const override;
  std::unique_ptr<platform::AppendableFile> OpenForAppend(const std::wstring& path) const override;
  std::optional<platform::FileVersion> FixedFileVersion(const std::wstring& path) const override;
  std::vector<platform::FolderEntry> ListFolder(const std::wstring& folder) const override;
  std::wstring DecodeSystemCodePage(std::string_view bytes) const override;
  std::string EncodeSystemCodePage(std::wstring_view text) const override;

 private:
  struct File {
    std::vector<std::uint8_t> bytes;
    std::uint32_t attributes = 0x20;
    std::uint64_t written = 0;
  };
  class Appender;

  static std::wstring Key(const std::wstring& path);
  static std::wstring Spelled(const std::wstring& path);
  // Listings give names as first written, though look-ups ignore case.
  void RememberSpelling(const std::wstring& path) const;
  static std::wstring Parent(const std::wstring& key);

  mutable std::mutex mutex_;
  mutable std::map<std::wstring, File> files_;
  mutable std::set<std::wstring> folders_;
  mutable std::map<std::wstring, std::wstring> names_;
  std::set<std::wstring> locked_;
  std::set<std::wstring> denied_;
  std::map<std::wstring, platform::FileVersion> versions_;
  mutable int atomicWrites_ = 0;
  mutable std::uint64_t writes_ = 0;
};

class FakeSystemFacts final : public platform::SystemFacts {
 public:
  platform::OsVersion version{6, 1};
  bool is64BitWindows = true;
  platform::Size screen{1024, 768};
  int dpi = 96;
  std::wstring userName = L"tester";
  std::map<std::wstring, std::wstring, LessIgnoreCase> environment;
  DateTimeParts now{2026, 12, 4, 14, 3, 7, 123};
  std::uint32_t threadId = 5312;
  mutable std::vector<std::wstring> debugOutput;

  platform::OsVersion Version() const override { return version; }
  bool Is64BitWindows() const override { return is64BitWindows; }
  platform::Size PrimaryScreenSize() const override { return screen; }
  Rect WorkArea() const override { return {0, 0, screen.width, screen.height - 40}; }
  int ScreenDpi() const override { return dpi; }
  bool IsCompositionEnabled() const override { return false; }
  std::wstring UserName() const override { return userName; }
  std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) const override;
  DateTimeParts LocalTime() const override { return now; }
  std::uint32_t CurrentThreadId() const override { return threadId; }
  void DebugOutput(const std::wstring& text) const override;

 private:
  mutable std::mutex mutex_;
};

class FakeSpecialFolders final : public platform::SpecialFolders {
 public:
  std::map<int, std::wstring> shell;  // CSIDL -> folder; missing ones answer empty
  std::wstring windows = L"C:\\Windows";
  std::wstring system = L"C:\\Windows\\system32";
  std::wstring temp = L"C:\\Users\\tester\\AppData\\Local\\Temp\\";
  std::wstring executable = L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\Nudgelet.exe";

  std::wstring ShellFolder(int csidl) const override;
  std::wstring WindowsDirectory() const override { return windows; }
  std::wstring SystemDirectory() const override { return system; }
  std::wstring TempPath() const override { return temp; }
  std::wstring ExecutablePath() const override { return executable; }
};

class FakeProcesses final : public platform::Processes {
 public:
  std::vector<std::wstring> names;
  std::vector<std::wstring> RunningImageNames() const override { return names; }
};

class NoLibraries final : public platform::DynamicLibraries {
 public:
  std::unique_ptr<platform::DynamicLibrary> Load(const std::wstring&) const override { return nullptr; }
  std::unique_ptr<platform::DynamicLibrary> FindLoaded(const std::wstring&) const override { return nullptr; }
};

class RecordingShell final : public platform::Shell {
 public:
  mutable std::vector<platform::ShellExecuteRequest> requests;
  bool Execute(const platform::ShellExecuteRequest& r) const override {
    requests.push_back(r);
    return true;
  }
};

// A machine like a fresh 64-bit Windows 7 with one user, "tester".
struct FakePlatform {
  FakePlatform();

  platform::InMemoryRegistry registry;
  FakeProcesses processes;
  FakeSpecialFolders folders;
  FakeSystemFacts system;
  NoLibraries libraries;
  RecordingShell shell;
  InMemoryFileSystem files;
  platform::Platform platform{registry, processes, folders, system, libraries, shell, files};

  const platform::Platform& operator*() const { return platform; }
};

std::vector<std::uint8_t> Utf16LeWithBom(const std::wstring& text);
std::vector<std::uint8_t> AsBytes(const std::string& text);

}  // namespace nudgelet::testing
