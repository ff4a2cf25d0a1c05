#include "app/ProductLocations.h"

#include <cwchar>

#include "base/Paths.h"
#include "base/Strings.h"
#include "platform/ProcessModel.h"
#include "platform/SpecialFolderLookup.h"
#include "settings/TextFile.h"

namespace nudgelet::app {

using namespace platform;

namespace {

std::wstring ReadUninstallValue(const Platform& p, RegistryView view, const wchar_t* name) {
  auto key = p.registry.OpenReadOnly(RegistryRoot::LocalMachine, kProductUninstallKey, view);
  if (!key) return {};
  return key->ReadText(name).value_or(L"");
}

}  // namespace

std::wstring GetInstallFolder(const Platform& p) {
  const OsVersion v = p.system.Version();
  const RegistryView view = (v.major == 5 && v.minor == 0) ? RegistryView::Default : kOwnRegistryView;
  const std::wstring location = ReadUninstallValue(p, view, L"InstallLocation");
  if (!location.empty()) return IncludeTrailingBackslash(location);
  return GetSpecialFolder(p, csidl::kProgramFiles) + L"\\Corvane\\Patchwell Hub\\";
}

std::wstring GetProductVersion(const Platform& p) {
  const RegistryView view = RunsUnderWow64(p.system) ? kOwnRegistryView : RegistryView::Default;
  std::wstring version = ReadUninstallValue(p, view, L"DisplayVersion");
  if (version.empty() && p.files.FileExists(L"PatchwellHub.exe")) {
    if (const auto v = p.files.FixedFileVersion(L"PatchwellHub.exe")) {
      version = std::to_wstring((*v)[0]) + L'.' + std::to_wstring((*v)[1]) + L'.' + std::to_wstring((*v)[2]) + L'.' +
                std::to_wstring((*v)[3]);
    } else {
      version = L"Unknown";
    }
  }
  return version.empty() ? L"Unknown Version" : version;
}

}  // namespace nudgelet::app
