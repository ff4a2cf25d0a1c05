#include "detection/UpdateMatching.h"

#include "base/Paths.h"
#include "settings/CustomIniFile.h"
#include "base/Strings.h"
#include "settings/TextFile.h"
#include "detection/InstallLocation.h"
#include "detection/ProgramFacts.h"
#include "detection/VersionRules.h"

namespace nudgelet::detection {
namespace {

std::int64_t ToInt64(const std::wstring& text) {
  const std::wstring t = Trim(text);
  if (t.empty()) return 0;
  try {
    std::size_t used = 0;
    const long long v = std::stoll(t, &used);
    return used == t.size() ? v : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

std::int32_t ToInt32(const std::wstring& text, std::int32_t fallback) {
  std::int32_t value = fallback;
  return ParseIniInteger(text, value) ? value : fallback;
}

const wchar_t* const kBitFromExecutable[] = {L"{535F86FD-519A-4686-82D2-D4E9F6CC87E4}",
                                             L"{2C09963D-7637-4EDD-873C-409A8502BFF7}",
                                             L"{B934C0C3-29CE-4CEC-A7D0-6467AD181FFC}"};

}  // namespace

void TUpdateMatcher::MatchInstalledPrograms(TSoftwareInfo& inventory) {
  traces_.assign(inventory.Records().size(), MatchTrace{});
  for (std::size_t i = 0; i < inventory.Records().size(); ++i) {
    TSoftInfo& r = inventory.Records()[i];
    if (r.Hidden || r.IsToolbar || r.IsUpdate) {
      traces_[i].decision = r.Hidden ? L"hidden" : r.IsToolbar ? L"toolbar" : L"patch";
      continue;
    }
    if (r.InstallLocation.empty()) r.InstallLocation = InstallFolderFromUninstall(c_.platform, c_.frame, r);
    if (r.DisplayName == L"Google Chrome") {
      if (r.RootName == L"HKEY_LOCAL_MACHINE") r.DisplayName = L"Google Chrome (All User)";
      else if (r.RootName == L"HKEY_CURRENT_USER") r.DisplayName = L"Google Chrome (Current User)";
    }
    const std::wstring installedVersion = ExtractVersionNumber(r.DisplayVersion, true);
    traces_[i] = EvaluateCandidate(r.DisplayName, r.DisplayIcon, r.IconIndex, r.Publisher, installedVersion, r.KeyPath,
                                   r.Is64BitView ? 1 : 0, 1, r.InstallLocation);
  }
  DropSupersededInstallations();
}

MatchTrace TUpdateMatcher::EvaluateCandidate(const std::wstring& displayName, const std::wstring& displayIcon,
                                             int iconIndex, const std::wstring& publisher,
                                             const std::wstring& installedVersion, const std::wstring& keyPath, int bit,
                                             int lanId, const std::wstring& installLocation) {
  MatchTrace trace;
  if (TrimView(publisher).empty()) {
    trace.decision = L"no publisher";
    return trace;
  }
  const UpdateQueries& db = c_.database;
  std::wstring key = db.FindKey(displayName, publisher);
  trace.keyStatement = L"display name and publisher";
  if (key.empty()) {
    if (displayName == L"Google Chrome (All User)") {
      key = db.FindKeyBySoftName(displayName, publisher, L"ALL User");
      trace.keyStatement = L"soft name \"ALL User\"";
    } else if (displayName == L"Google Chrome (Current User)") {
      key = db.FindKeyBySoftName(displayName, publisher, L"Current User");
      trace.keyStatement = L"soft name \"Current User\"";
    }
    if (key.empty() && displayName.find(L"HD Video Converter Factory Pro") != std::wstring::npos) {
      key = L"{DE80BEA1-3505-4D9B-A012-F1089D379521}";
      trace.keyStatement = L"fixed key of HD Video Converter Factory Pro";
    }
  }
  trace.key = key;
  if (key.empty()) {
    trace.decision = L"not in the database";
    trace.keyStatement.clear();
    return trace;
  }

  // The main executable must be where the database says, when both are known.
  const std::wstring mainExe = db.GetBaseField(key, L"MainExeName");
  std::wstring mainExePath;
  if (!mainExe.empty() && !installLocation.empty()) {
    const std::wstring folder = IncludeTrailingBackslash(installLocation);
    const auto bar = mainExe.find(L'|');
    if (bar != std::wstring::npos) {
      mainExePath = folder + mainExe.substr(0, bar);
      if (!c_.platform.files.FileExists(mainExePath)) mainExePath = folder + mainExe.substr(bar + 1);
    } else {
      mainExePath = folder + mainExe;
    }
    if (!c_.platform.files.FileExists(mainExePath)) {
      trace.decision = L"main executable missing: " + mainExePath;
      return trace;
    }
  }
  candidateListMade_ = true;

  for (const wchar_t* special : kBitFromExecutable) {
    if (key == special) bit = ExecutableMachineKind(c_.platform.files, mainExePath) == MachineKind::I386 ? 0 : 1;
  }

  TSoftViewInfo r;
  std::wstring newVersion = db.GetDownField(key, bit, lanId, L"Version");
  if (newVersion.empty()) {
    bit = 0;
    newVersion = db.GetDownField(key, 0, lanId, L"Version");
  }
  const int compareParts = ToInt32(db.GetBaseField(key, L"VerCompareNum"), 0);
  if (compareParts >= 1 && compareParts <= 3) newVersion = TruncateVersion(newVersion, compareParts);

  std::wstring installed = installedVersion;
  if (TrimView(installed).empty()) {
    installed = !mainExePath.empty() && c_.platform.files.FileExists(mainExePath)
                    ? FileVersionText(c_.platform.files, mainExePath)
                    : L"-";
  }

  r.HasUpdate = IsNewer(newVersion, installed);
  if (r.HasUpdate) {
    r.NewVersion = newVersion;
    r.OutURL = db.GetDownField(key, bit, lanId, L"OutURL");
    r.OutFileSize = ToInt64(db.GetDownField(key, bit, lanId, L"OutFileSize"));
    r.DownloadSize = r.OutFileSize;
    r.OutMD5 = db.GetDownField(key, bit, lanId, L"OutMD5");
    r.InFileSize = ToInt64(db.GetDownField(key, bit, lanId, L"InFileSize"));
    r.InURL = db.GetDownField(key, bit, lanId, L"InURL");
    r.InMD5 = db.GetDownField(key, bit, lanId, L"InMD5");
    r.InstallerType = db.GetDownField(key, bit, lanId, L"InstallerType");
    r.Param = db.GetDownField(key, bit, lanId, L"Param");
  } else {
    r.NewVersion = L"0";
    r.InstallerType = L"0";
  }
  r.MainRegKey = db.GetBaseField(key, L"MainRegKey");
  r.Publisher = db.GetBaseField(key, L"Publisher");
  r.Icon = db.GetBaseField(key, L"ICON");
  r.DownURL = db.GetDownField(key, bit, lanId, L"DownURL");
  r.Key = key;
  r.Bit = bit;
  r.LanID = lanId;
  r.DisplayName = displayName;
  r.InstalledVersion = installed;
  r.DisplayIcon = displayIcon;
  r.IconIndex = iconIndex;
  r.InstallLocation = installLocation;
  r.MainExePath = mainExePath;
  trace.installedVersion = installed;
  trace.newVersion = newVersion;

  if (c_.ignoreList.IsIgnored(r.IgnoreName())) {
    trace.decision = L"ignored as " + r.IgnoreName();
    return trace;
  }
  if (r.HasUpdate && r.OutURL.empty() && r.InURL.empty()) {
    trace.decision = L"no download address";
    return trace;
  }
  const std::int32_t osType = ToInt32(db.GetDownField(key, bit, lanId, L"OsType"), 63);
  if ((osType & WindowsVersionMask(c_.platform.system.Version())) == 0) {
    trace.decision = L"not for this Windows (OsType " + std::to_wstring(osType) + L")";
    return trace;
  }
  if (!IsEnglishEdition(c_.platform, r)) {
    c_.platform.system.DebugOutput(r.DisplayName + L" is not english version");
    trace.decision = L"not the English edition";
    return trace;
  }
  // An empty MainRegKey is never found in the key path: such a product is always dropped.
  if (db.GetBaseField(key, L"PreciseMainKey") == L"1" &&
      (r.MainRegKey.empty() || keyPath.find(r.MainRegKey) == std::wstring::npos)) {
    trace.decision = L"uninstall key does not hold MainRegKey";
    return trace;
  }
  const platform::OsVersion os = c_.platform.system.Version();
  if (key == L"{2B2B1503-FFDD-4119-80F2-72BCD448BF54}" && os.major == 6 && os.minor == 1 &&
      IsAtLeast(L"3.3", r.InstalledVersion)) {
    trace.decision = L"not offered on Windows 7 up to version 3.3";
    return trace;
  }
  if (key == L"{460292C9-86C6-47EE-BC16-E4A67C4A6086}" && ToUpper(r.DisplayName).find(L"STEAM") != std::wstring::npos) {
    trace.decision = L"not offered for Steam";
    return trace;
  }
  trace.decision = r.HasUpdate ? L"candidate with update" : L"candidate without update";
  candidates_.push_back(std::move(r));
  return trace;
}

void TUpdateMatcher::DropSupersededInstallations() {
  if (candidates_.size() < 2) return;
  for (std::size_t a = candidates_.size(); a-- > 0;) {
    for (std::size_t b = candidates_.size(); b-- > 0;) {
      if (a == b) continue;
      const TSoftViewInfo& x = candidates_[a];
      TSoftViewInfo& y = candidates_[b];
      if (x.Key == y.Key && x.Bit == y.Bit && IsNewer(x.InstalledVersion, y.InstalledVersion)) y.Superseded = true;
    }
  }
  for (std::size_t i = candidates_.size(); i-- > 0;) {
    if (!candidates_[i].Superseded) continue;
    c_.platform.system.DebugOutput(candidates_[i].Key);
    candidates_.erase(candidates_.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

}  // namespace nudgelet::detection
