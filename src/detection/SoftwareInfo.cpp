#include "detection/SoftwareInfo.h"

#include <unordered_map>

#include "base/Numbers.h"
#include "base/Strings.h"
#include "detection/InstallLocation.h"
#include "detection/SnapshotRegistry.h"
#include "detection/UninstallRegistry.h"
#include "platform/AppFrame.h"
#include "platform/ProcessModel.h"
#include "settings/ExtIniFile.h"

namespace nudgelet::detection {

using namespace platform;

namespace {

std::wstring ToHexLower(const Md5Digest& digest) {
  static const wchar_t* const kDigits = L"0123456789abcdef";
  std::wstring hex;
  for (std::uint8_t b : digest) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

std::optional<int> Digits(std::wstring_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return value;
}

}  // namespace

std::optional<TDateTime> ParseRegistryInstallDate(const std::wstring& text) {
  std::wstring t = text;
  // Separators go before the 7th and then the 5th character (past the end: at the end).
  t.insert(std::min<std::size_t>(6, t.size()), L"-");
  t.insert(std::min<std::size_t>(4, t.size()), L"-");
  const auto first = t.find(L'-');
  const auto second = t.find(L'-', first + 1);
  if (second == std::wstring::npos || t.find(L'-', second + 1) != std::wstring::npos) return std::nullopt;
  const auto year = Digits(std::wstring_view(t).substr(0, first));
  const auto month = Digits(std::wstring_view(t).substr(first + 1, second - first - 1));
  const auto day = Digits(std::wstring_view(t).substr(second + 1));
  if (!year || !month || !day) return std::nullopt;
  int y = *year;
  if (first <= 2) y += y < 50 ? 2000 : 1900;  // two-digit years, as the short-date reader takes them
  return EncodeDateTime({y, *month, *day, 0, 0, 0, 0});
}

void MergeSoftInfo(TSoftInfo& target, const TSoftInfo& source) {
  auto text = [](std::wstring& to, const std::wstring& from) {
    if (to.empty() && !from.empty()) to = from;
  };
  text(target.HelpLink, source.HelpLink);
  text(target.Publisher, source.Publisher);
  text(target.DisplayVersion, source.DisplayVersion);
  text(target.URLInfoAbout, source.URLInfoAbout);
  text(target.URLUpdateInfo, source.URLUpdateInfo);
  text(target.InstallDateText, source.InstallDateText);
  text(target.SizeText, source.SizeText);
  text(target.DisplayIcon, source.DisplayIcon);
  text(target.InstallLocation, source.InstallLocation);
  text(target.Readme, source.Readme);
  if (target.InstallDate == 0 && source.InstallDate != 0) target.InstallDate = source.InstallDate;
  if (target.RegistryInstallDate == 0 && source.RegistryInstallDate != 0)
    target.RegistryInstallDate = source.RegistryInstallDate;
  if (target.Size == 0 && source.Size != 0) {
    target.Size = source.Size;
    target.SizeText = source.SizeText;
  }
  if (target.IconIndex == 0 && source.IconIndex != 0) target.IconIndex = source.IconIndex;
}

TSoftwareInfo::TSoftwareInfo(const Platform& p, const Crypto& crypto, std::wstring cachePath,
                             const std::wstring& snapshotPath)
    : files_(p.files, p.folders, p.system),
      p_(WithRedirectedFiles(p, files_)),
      crypto_(crypto),
      frame_(p_),
      cachePath_(std::move(cachePath)) {
  std::optional<SnapshotRegistry> remembering;
  if (!snapshotPath.empty()) remembering.emplace(p_.registry, LoadUninstallSnapshot(p.files, snapshotPath));
  const platform::Registry& registry = remembering ? *remembering : p_.registry;
  ScanPass(registry, false);
  if (p_.system.Is64BitWindows()) ScanPass(registry, true);
  if (remembering) SaveUninstallSnapshot(p.files, snapshotPath, remembering->Previous(), remembering->Next());
  ReadCache();
}

void TSoftwareInfo::ScanPass(const platform::Registry& registry, bool use64View) {
  for (const wchar_t* root : {L"HKEY_LOCAL_MACHINE", L"HKEY_CURRENT_USER"}) {
    ForEachKeyRecursive(registry, root, kUninstallKey, use64View,
                        [&](const std::wstring& keyPath, const RegistryKey* key) {
                          if (key) ScanEntry(root, keyPath, *key, use64View);
                        });
  }
  FoldDuplicates();
}

void TSoftwareInfo::ScanEntry(const std::wstring& rootName, const std::wstring& keyPath, const RegistryKey& key,
                              bool use64View) {
  auto text = [&](const wchar_t* name) { return key.ReadText(name).value_or(L""); };

  TSoftInfo r;
  r.DisplayName = Trim(text(L"DisplayName"));
  if (EqualsIgnoreCase(r.DisplayName, L"tidewell care surfing protection") ||
      ToUpper(keyPath).find(L"INSTALLSHIELD_{BC796E78-3F5B-467B-816F-4DB16DE8750A}") != std::wstring::npos) {
    return;
  }

  r.UninstallString = text(L"UninstallString");
  const std::wstring upperUninstall = ToUpper(r.UninstallString);
  if (upperUninstall.find(L"MSIEXEC.EXE /I") != std::wstring::npos &&
      upperUninstall.find(L"REMOVE=ALL") == std::wstring::npos) {
    r.UninstallString = ReplaceAllIgnoreCase(r.UninstallString, L"MsiExec.exe /I", L"MsiExec.exe /X");
  }
  r.Publisher = Trim(text(L"Publisher"));
  const std::int64_t systemComponent = static_cast<std::int32_t>(key.ReadDword(L"SystemComponent").value_or(0));

  if (r.UninstallString.empty() && keyPath.size() > 37 && systemComponent == 0) {
    const std::wstring productCode = keyPath.substr(keyPath.size() - 38);
    if (productCode.find(L'{') != std::wstring::npos && productCode.find(L'}') != std::wstring::npos) {
      r.UninstallString = L"MsiExec.exe /X " + productCode;
    }
  }
  if (r.DisplayName.empty() || r.UninstallString.empty()) return;
  if (r.UninstallString.find(L"regsvr32") == 0 && ToLower(r.Publisher).find(L"microsoft") != std::wstring::npos) return;

  r.HelpLink = Trim(text(L"HelpLink"));
  r.DisplayVersion = Trim(text(L"DisplayVersion"));
  r.URLInfoAbout = text(L"URLInfoAbout");
  r.URLUpdateInfo = text(L"URLUpdateInfo");
  r.DisplayIcon = text(L"DisplayIcon");
  r.InstallLocation = text(L"InstallLocation");
  r.Readme = text(L"Readme");
  r.RootName = rootName;
  r.KeyPath = keyPath;
  // EstimatedSize is a count of kilobytes: read it unsigned, so that a program of
  // two terabytes or more does not turn into a negative size.
  r.Size = static_cast<std::int64_t>(key.ReadDword(L"EstimatedSize").value_or(0)) * 1024;
  r.RegistrySize = r.Size;
  r.SizeText = FormatByteSize(r.Size);
  r.Is64BitView = use64View;
  r.IsSystemComponent = systemComponent == 1;
  r.ScanTime = EncodeDateTime(p_.system.LocalTime()).value_or(0);

  const std::wstring upperName = ToUpper(r.DisplayName);
  r.IsUpdate =
      upperName.find(L"(KB") != std::wstring::npos || (upperName.find(L"SERVICE PACK") != std::wstring::npos &&
                                                       ToUpper(r.Publisher).find(L"MICROSOFT") != std::wstring::npos);
  std::wstring squeezed;
  for (wchar_t c : upperName) {
    if (c != L'-' && c != L' ') squeezed += c;
  }
  r.IsToolbar = ToUpper(r.UninstallString).find(L"V9CRV.EXE") != std::wstring::npos ||
                squeezed.find(L"TOOLBAR") != std::wstring::npos;

  if (r.HelpLink.empty()) r.HelpLink = L"-";
  if (r.Publisher.empty()) r.Publisher = L" ";
  if (r.DisplayVersion.empty()) r.DisplayVersion = L"-";

  if (!r.InstallLocation.empty() && !p_.files.DirectoryExists(r.InstallLocation)) {
    r.InstallLocation = CleanInstallLocation(p_, frame_, r.InstallLocation);
  }

  const std::wstring installDate = text(L"InstallDate");
  if (!installDate.empty()) {
    if (const auto date = ParseRegistryInstallDate(installDate)) {
      r.InstallDate = *date;
      r.InstallDateText = FormatIsoDate(DecodeDateTime(*date));
    }
  }
  r.RegistryInstallDate = r.InstallDate;
  r.Index = nextIndex_++;
  records_.push_back(std::move(r));
}

void TSoftwareInfo::FoldDuplicates() {
  // Only records of the same name (in any letter case) fold into each other:
  // each is compared with the later ones of its name, in index order, which
  // gives what comparing every pair would, without a machine of a few hundred
  // programs costing a hundred thousand comparisons.
  std::unordered_map<std::wstring, std::vector<std::size_t>> byName;
  std::vector<const std::vector<std::size_t>*> sameName(records_.size());
  for (std::size_t i = 0; i < records_.size(); ++i) byName[ToUpper(records_[i].DisplayName)].push_back(i);
  for (const auto& [_, group] : byName) {
    for (std::size_t i : group) sameName[i] = &group;
  }
  for (std::size_t i = 0; i < records_.size(); ++i) {
    TSoftInfo& a = records_[i];
    if (a.Hidden) continue;
    if (a.IsSystemComponent && ToUpper(a.UninstallString).find(L"MSIEXEC.EXE /") != std::wstring::npos) {
      a.Hidden = true;
      continue;
    }
    for (std::size_t j : *sameName[i]) {
      if (j <= i) continue;
      TSoftInfo& b = records_[j];
      if (b.Hidden) continue;
      if (a.IsSystemComponent) {
        a.Hidden = true;
        MergeSoftInfo(b, a);
        break;
      }
      if (b.IsSystemComponent) {
        b.Hidden = true;
        MergeSoftInfo(a, b);
        break;
      }
      if (EqualsIgnoreCase(a.DisplayVersion, b.DisplayVersion)) {
        b.Hidden = true;
        MergeSoftInfo(a, b);
      }
    }
  }
}

void TSoftwareInfo::ReadCache() {
  if (!p_.files.FileExists(cachePath_)) return;
  TExtIniFile cache(p_.files, cachePath_);
  for (TSoftInfo& r : records_) {
    if (r.Hidden) continue;
    const std::wstring& section = r.DisplayName;
    const std::wstring dateText = cache.ReadString(section, L"InstallDate", L"");
    const std::wstring md5 = cache.ReadString(section, L"MD5", L"");
    const std::string checked = p_.files.EncodeSystemCodePage(dateText + r.UninstallString);
    const auto digest = crypto_.Md5(reinterpret_cast<const std::uint8_t*>(checked.data()), checked.size());
    if (!EqualsIgnoreCase(md5, ToHexLower(digest))) continue;

    if (r.InstallDateText.empty()) r.InstallDateText = dateText;
    r.QuickUninstall = cache.ReadString(section, L"QuickUninstall", L"");
    const TDateTime date = cache.ReadDateTime(section, L"InstallDate", 0);
    if (date == 0) {
      r.InstallDateText.clear();
      r.InstallDate = 0;
    } else {
      r.InstallDate = date;
    }
    const std::int64_t size = ParseDecimal(Trim(cache.ReadString(section, L"size", L"0"))).value_or(0);
    r.Size = size;
    r.SizeText = size > 0 ? FormatByteSize(size) : L"";
    if (r.DisplayIcon.empty()) {
      r.DisplayIcon = cache.ReadString(section, L"DisplayIcon", L"");
      r.IconIndex = cache.ReadInteger(section, L"IconIndex", 0);
    }
    if (r.InstallLocation.empty()) r.InstallLocation = cache.ReadString(section, L"Location", L"");
  }
}

}  // namespace nudgelet::detection
