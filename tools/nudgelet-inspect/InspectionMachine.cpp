#include "InspectionMachine.h"

#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

#include "base/Strings.h"
#include "platform/RegFile.h"
#include "platform/SpecialFolders.h"

namespace nudgelet::inspect {

using namespace platform;

class InspectionMachine::Facts final : public SystemFacts {
 public:
  OsVersion version{10, 0};
  bool is64 = true;
  OsVersion Version() const override { return version; }
  bool Is64BitWindows() const override { return is64; }
  Size PrimaryScreenSize() const override { return {1920, 1080}; }
  Rect WorkArea() const override { return {0, 0, 1920, 1040}; }
  int ScreenDpi() const override { return 96; }
  bool IsCompositionEnabled() const override { return true; }
  std::wstring UserName() const override { return L"user"; }
  std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) const override {
    if (EqualsIgnoreCase(name, L"APPDATA")) return L"C:\\Users\\user\\AppData\\Roaming";
    if (EqualsIgnoreCase(name, L"LOCALAPPDATA")) return L"C:\\Users\\user\\AppData\\Local";
    if (EqualsIgnoreCase(name, L"USERPROFILE")) return L"C:\\Users\\user";
    if (EqualsIgnoreCase(name, L"ProgramData")) return L"C:\\ProgramData";
    return std::nullopt;
  }
  DateTimeParts LocalTime() const override { return {2026, 12, 6, 12, 0, 0, 0}; }
  std::uint32_t CurrentThreadId() const override { return 1; }
  void DebugOutput(const std::wstring&) const override {}
};

class InspectionMachine::Folders final : public SpecialFolders {
 public:
  bool is64 = true;
  std::wstring ShellFolder(int csidl) const override {
    switch (csidl) {
      case csidl::kAppData:
        return L"C:\\Users\\user\\AppData\\Roaming";
      case csidl::kLocalAppData:
        return L"C:\\Users\\user\\AppData\\Local";
      case csidl::kCommonAppData:
        return L"C:\\ProgramData";
      case csidl::kProfile:
        return L"C:\\Users\\user";
      case csidl::kDesktopDirectory:
        return L"C:\\Users\\user\\Desktop";
      case csidl::kCommonDesktopDirectory:
        return L"C:\\Users\\Public\\Desktop";
      case csidl::kPrograms:
        return L"C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
      case csidl::kStartMenu:
        return L"C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";
      case csidl::kCommonStartMenu:
        return L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
      case csidl::kCommonPrograms:
        return L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
      case csidl::kProgramFiles:
        return L"C:\\Program Files";
      case csidl::kProgramFilesX86:
        return is64 ? L"C:\\Program Files (x86)" : L"C:\\Program Files";
      case csidl::kProgramFilesCommon:
        return L"C:\\Program Files\\Common Files";
      case csidl::kProgramFilesCommonX86:
        return is64 ? L"C:\\Program Files (x86)\\Common Files" : L"C:\\Program Files\\Common Files";
      default:
        return {};
    }
  }
  std::wstring WindowsDirectory() const override { return L"C:\\Windows"; }
  std::wstring SystemDirectory() const override { return L"C:\\Windows\\system32"; }
  std::wstring TempPath() const override { return L"C:\\Users\\user\\AppData\\Local\\Temp\\"; }
  std::wstring ExecutablePath() const override {
    return (is64 ? L"C:\\Program Files (x86)" : L"C:\\Program Files") +
           std::wstring(L"\\Corvane\\Patchwell Hub\\Nudgelet.exe");
  }
};

class InspectionMachine::NoProcesses final : public Processes {
 public:
  std::vector<std::wstring> RunningImageNames() const override { return {}; }
};

class InspectionMachine::NoShell final : public Shell {
 public:
  bool Execute(const ShellExecuteRequest&) const override { return false; }
};

namespace {

OsVersion ParseVersion(const std::wstring& text) {
  const auto dot = text.find(L'.');
  try {
    if (dot != std::wstring::npos) {
      return {static_cast<unsigned>(std::stoul(text.substr(0, dot))),
              static_cast<unsigned>(std::stoul(text.substr(dot + 1)))};
    }
  } catch (const std::exception&) {
  }
  throw std::runtime_error("--os wants MAJOR.MINOR, e.g. 10.0, not \"" + WideToUtf8(text) + "\"");
}

}  // namespace

InspectionMachine::InspectionMachine(const MachineOptions& options)
    : drives_(hostFiles_, options.root.empty() ? L"/nonexistent-drives" : options.root),
      facts_(std::make_unique<Facts>()),
      folders_(std::make_unique<Folders>()),
      processes_(std::make_unique<NoProcesses>()),
      shell_(std::make_unique<NoShell>()) {
  facts_->version = ParseVersion(options.version);
  if (options.is64Bit != L"yes" && options.is64Bit != L"no")
    throw std::runtime_error("--64bit-windows wants yes or no");
  facts_->is64 = folders_->is64 = options.is64Bit == L"yes";
  for (const auto& file : options.registryFiles) LoadRegFile(registry_, std::filesystem::path(file));
  platform_ = std::make_unique<platform::Platform>(
      platform::Platform{registry_, *processes_, *folders_, *facts_, hostLibraries_, *shell_, drives_});

  char pattern[] = "/tmp/nudgelet-inspect-XXXXXX";
  if (!::mkdtemp(pattern)) throw std::runtime_error("cannot make a temporary folder");
  tempFolder_ = Utf8ToWide(pattern) + L"/";
}

InspectionMachine::~InspectionMachine() {
  // The deciphered copy is the tool's own: leave nothing behind.
  const std::string folder = WideToUtf8(tempFolder_);
  ::unlink((folder + "VessaUpdate.dbd").c_str());
  ::rmdir(folder.c_str());
}

}  // namespace nudgelet::inspect
