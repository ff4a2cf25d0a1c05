#include "detection/EnglishEdition.h"

#include "base/Strings.h"
#include "detection/UninstallRegistry.h"
#include "platform/ProcessModel.h"
#include "settings/TextFile.h"

namespace nudgelet::detection {
namespace {

std::wstring FirstLine(const platform::FileSystem& files, const std::wstring& path) {
  const auto lines = ReadTextFileLines(files, path).lines;
  return lines.empty() ? std::wstring() : lines.front();
}

bool IsEnglishOpenOffice(const platform::Platform& p, const TSoftViewInfo& record) {
  const std::wstring base = std::wstring(kUninstallKey) + L"\\";
  auto english = [&](const std::wstring& subKey, bool use64View) {
    const std::wstring name =
        ReadRegString(p.registry, L"HKEY_LOCAL_MACHINE", base + subKey, L"DisplayName", use64View);
    const std::wstring comments =
        ReadRegString(p.registry, L"HKEY_LOCAL_MACHINE", base + subKey, L"Comments", use64View);
    return name.find(L"OpenOffice") != std::wstring::npos && comments.find(L"en-US") != std::wstring::npos;
  };
  if (auto uninstall =
          p.registry.OpenReadOnly(platform::RegistryRoot::LocalMachine, base, platform::RegistryViewFor(false))) {
    for (const auto& sub : uninstall->SubKeyNames()) {
      if (english(sub, false)) return true;
    }
  }
  if (!p.system.Is64BitWindows()) return false;
  // Once more through the 32-bit view, over the subkeys of the product's own key.
  if (auto mainKey = p.registry.OpenReadOnly(platform::RegistryRoot::LocalMachine, record.MainRegKey,
                                             platform::RegistryView::Bits32)) {
    for (const auto& sub : mainKey->SubKeyNames()) {
      if (english(sub, false)) return true;
    }
  }
  return false;
}

}  // namespace

bool IsEnglishEdition(const platform::Platform& p, const TSoftViewInfo& record) {
  const std::wstring& key = record.Key;
  if (key == L"{24B0AC54-19B3-45F8-9FC7-99D4E8B2B9F2}") {
    const std::wstring rarText = record.InstallLocation + L"Rar.txt";
    if (p.files.FileExists(rarText)) return ToUpper(FirstLine(p.files, rarText)).find(L"MANUAL") != std::wstring::npos;
    const std::wstring readMe = record.InstallLocation + L"ReadMe.txt";
    if (p.files.FileExists(readMe)) {
      return ToUpper(FirstLine(p.files, readMe))
                 .find(ToUpper(L"This archive contains the WinRAR multifunctional integrated archive manager.")) !=
             std::wstring::npos;
    }
    return false;
  }
  if (key == L"{9D995D02-0224-4AF6-AEDE-EA404F6A2560}" || key == L"{46EE99C3-AD06-4899-8CD8-C3BA77D2A24E}") {
    return ToUpper(record.DisplayName).find(L"EN-US") != std::wstring::npos;
  }
  if (key == L"{6685FA15-5434-4F90-856B-45624A42B923}") return IsEnglishOpenOffice(p, record);
  return true;
}

}  // namespace nudgelet::detection
