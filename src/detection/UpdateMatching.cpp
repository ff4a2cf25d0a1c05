#include "detection/UpdateMatching.h"

#include <cstdint>
#include <optional>

#include "base/Numbers.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "detection/EnglishEdition.h"
#include "detection/ExecutableFacts.h"
#include "detection/InstallLocation.h"
#include "detection/VersionRules.h"
#include "detection/WindowsVersionMask.h"

namespace nudgelet::detection {
namespace {

std::int64_t ToInt64(const std::wstring& text) { return ParseDecimal(Trim(text)).value_or(0); }

// VerCompareNum and OsType are plain decimal numbers in the database. Blanks,
// "$3F", "0x3F" or a "+" make the text "not a number", as does a value beyond
// 32 bits, so the caller's fallback applies instead of a value the database
// never meant.
std::optional<std::int32_t> DecimalInt32(const std::wstring& text) {
  if (!text.empty() && text[0] == L'+') return std::nullopt;
  const auto value = ParseDecimal(text, INT32_MIN, INT32_MAX);
  return value ? std::optional<std::int32_t>(static_cast<std::int32_t>(*value)) : std::nullopt;
}

const wchar_t* const kBitFromExecutable[] = {L"{535F86FD-519A-4686-82D2-D4E9F6CC87E4}",
                                             L"{2C09963D-7637-4EDD-873C-409A8502BFF7}",
                                             L"{B934C0C3-29CE-4CEC-A7D0-6467AD181FFC}"};

}  // namespace

TUpdateMatcher::TUpdateMatcher(MatchContext context)
    : c_(context),
      files_(context.platform.files, context.platform.folders, context.platform.system),
      p_(WithRedirectedFiles(context.platform, files_)) {}

void TUpdateMatcher::MatchInstalledPrograms(TSoftwareInfo& inventory) {
  traces_.assign(inventory.Records().size(), MatchTrace{});
  for (std::size_t i = 0; i < inventory.Records().size(); ++i) {
    TSoftInfo& r = inventory.Records()[i];
    if (r.Hidden || r.IsToolbar || r.IsUpdate) {
      traces_[i].decision = r.Hidden ? L"hidden" : r.IsToolbar ? L"toolbar" : L"patch";
      continue;
    }
    if (r.InstallLocation.empty()) r.InstallLocation = InstallFolderFromUninstall(p_, c_.frame, r);
    if (r.DisplayName == L"Google Chrome") {
      if (r.RootName == L"HKEY_LOCAL_MACHINE") r.DisplayName = L"Google Chrome (All User)";
      else if (r.RootName == L"HKEY_CURRENT_USER") r.DisplayName = L"Google Chrome (Current User)";
    }
    traces_[i] = EvaluateCandidate(InstalledProgram{r.DisplayName, r.DisplayIcon, r.IconIndex, r.Publisher,
                                                    ExtractVersionNumber(r.DisplayVersion, true), r.KeyPath,
                                                    r.Is64BitView ? 1 : 0, 1, r.InstallLocation});
  }
  DropSupersededInstallations();
}

std::wstring TUpdateMatcher::FindProductKey(const InstalledProgram& program, MatchTrace& trace) const {
  const UpdateQueries& db = c_.database;
  const std::wstring& name = program.displayName;
  trace.keyStatement = L"display name and publisher";
  std::wstring key = db.FindKey(name, program.publisher);
  if (!key.empty()) return key;
  if (name == L"Google Chrome (All User)") {
    key = db.FindKeyBySoftName(name, program.publisher, L"ALL User");
    trace.keyStatement = L"soft name \"ALL User\"";
  } else if (name == L"Google Chrome (Current User)") {
    key = db.FindKeyBySoftName(name, program.publisher, L"Current User");
    trace.keyStatement = L"soft name \"Current User\"";
  }
  if (key.empty() && name.find(L"HD Video Converter Factory Pro") != std::wstring::npos) {
    key = L"{DE80BEA1-3505-4D9B-A012-F1089D379521}";
    trace.keyStatement = L"fixed key of HD Video Converter Factory Pro";
  }
  return key;
}

TUpdateMatcher::ExecutableCheck TUpdateMatcher::CheckMainExecutable(const std::wstring& key,
                                                                    const std::wstring& installLocation) const {
  const std::wstring mainExe = c_.database.GetBaseField(key, L"MainExeName");
  if (mainExe.empty() || installLocation.empty()) return {};
  const std::wstring folder = IncludeTrailingBackslash(installLocation);
  const auto bar = mainExe.find(L'|');
  ExecutableCheck check{folder + mainExe.substr(0, bar)};
  if (bar != std::wstring::npos && !files_.FileExists(check.path)) check.path = folder + mainExe.substr(bar + 1);
  check.missing = !files_.FileExists(check.path);
  return check;
}

TSoftViewInfo TUpdateMatcher::MakeRecord(const InstalledProgram& program, const std::wstring& key,
                                         const std::wstring& mainExePath, MatchTrace& trace) const {
  const UpdateQueries& db = c_.database;
  const int lanId = program.lanId;
  int bit = program.bit;
  // These products keep both editions under one uninstall view: the executable tells them apart.
  for (const wchar_t* special : kBitFromExecutable) {
    if (key == special) bit = ExecutableMachineKind(files_, mainExePath) == MachineKind::I386 ? 0 : 1;
  }
  std::wstring newVersion = db.GetDownField(key, bit, lanId, L"Version");
  if (newVersion.empty()) {
    bit = 0;
    newVersion = db.GetDownField(key, 0, lanId, L"Version");
  }
  const std::int32_t compareParts = DecimalInt32(db.GetBaseField(key, L"VerCompareNum")).value_or(0);
  if (compareParts >= 1 && compareParts <= 3) newVersion = TruncateVersion(newVersion, compareParts);

  std::wstring installed = program.installedVersion;
  if (TrimView(installed).empty()) {
    installed = !mainExePath.empty() && files_.FileExists(mainExePath) ? FileVersionText(files_, mainExePath) : L"-";
  }

  trace.installedVersion = installed;
  trace.newVersion = newVersion;

  TSoftViewInfo r;
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
  r.DisplayName = program.displayName;
  r.InstalledVersion = installed;
  r.DisplayIcon = program.displayIcon;
  r.IconIndex = program.iconIndex;
  r.InstallLocation = program.installLocation;
  r.MainExePath = mainExePath;
  return r;
}

std::wstring TUpdateMatcher::Rejection(const TSoftViewInfo& r, const std::wstring& keyPath) const {
  const UpdateQueries& db = c_.database;
  if (c_.ignoreList.IsIgnored(r.IgnoreName())) return L"ignored as " + r.IgnoreName();
  if (r.HasUpdate && r.OutURL.empty() && r.InURL.empty()) return L"no download address";
  const std::int32_t osType = DecimalInt32(db.GetDownField(r.Key, r.Bit, r.LanID, L"OsType")).value_or(63);
  const platform::OsVersion os = p_.system.Version();
  if ((osType & WindowsVersionMask(os)) == 0) return L"not for this Windows (OsType " + std::to_wstring(osType) + L")";
  if (!IsEnglishEdition(p_, r)) {
    p_.system.DebugOutput(r.DisplayName + L" is not english version");
    return L"not the English edition";
  }
  // An empty MainRegKey is never found in the key path: such a product is always dropped.
  if (db.GetBaseField(r.Key, L"PreciseMainKey") == L"1" &&
      (r.MainRegKey.empty() || keyPath.find(r.MainRegKey) == std::wstring::npos)) {
    return L"uninstall key does not hold MainRegKey";
  }
  if (r.Key == L"{2B2B1503-FFDD-4119-80F2-72BCD448BF54}" && os.major == 6 && os.minor == 1 &&
      IsAtLeast(L"3.3", r.InstalledVersion)) {
    return L"not offered on Windows 7 up to version 3.3";
  }
  if (r.Key == L"{460292C9-86C6-47EE-BC16-E4A67C4A6086}" &&
      ToUpper(r.DisplayName).find(L"STEAM") != std::wstring::npos) {
    return L"not offered for Steam";
  }
  return {};
}

MatchTrace TUpdateMatcher::EvaluateCandidate(const InstalledProgram& program) {
  MatchTrace trace;
  if (TrimView(program.publisher).empty()) {
    trace.decision = L"no publisher";
    return trace;
  }
  trace.key = FindProductKey(program, trace);
  if (trace.key.empty()) {
    trace.decision = L"not in the database";
    trace.keyStatement.clear();
    return trace;
  }
  const ExecutableCheck mainExe = CheckMainExecutable(trace.key, program.installLocation);
  if (mainExe.missing) {
    trace.decision = L"main executable missing: " + mainExe.path;
    return trace;
  }
  candidateListMade_ = true;

  TSoftViewInfo r = MakeRecord(program, trace.key, mainExe.path, trace);
  const std::wstring rejection = Rejection(r, program.keyPath);
  if (!rejection.empty()) {
    trace.decision = rejection;
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
    p_.system.DebugOutput(candidates_[i].Key);
    candidates_.erase(candidates_.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

}  // namespace nudgelet::detection
