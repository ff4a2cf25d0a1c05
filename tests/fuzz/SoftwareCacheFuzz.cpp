// libFuzzer target for SoftwareCache.ini, which another program writes into
// the user's folder: the inventory of a small machine is completed from it.
// Whatever the file holds, the inventory keeps its programs, their order and
// what the registry says of them; a record changes only where the file's MD5
// check holds; and what it takes from the file stays consistent (a date with
// its text, a size with its text). The check is run twice: with the real MD5,
// and with one that answers zeros, so that the fuzzer reaches the fields
// behind the check without having to forge digests.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "base/Strings.h"
#include "detection/SoftwareInfo.h"
#include "platform/Crypto.h"
#include "settings/ExtIniFile.h"
#include "support/FakePlatform.h"

namespace {

using namespace nudgelet;
using namespace nudgelet::detection;
using nudgelet::fuzz::Check;

const std::wstring kCache = L"C:\\Users\\tester\\AppData\\Roaming\\Corvane\\Patchwell Hub\\SoftwareCache.ini";
const std::wstring kZeros(32, L'0');

class ZeroDigest final : public platform::Crypto {
 public:
  platform::Md5Digest Md5(const std::uint8_t*, std::size_t) const override { return {}; }
  std::optional<std::vector<std::uint8_t>> AesEcbDecrypt(const std::vector<std::uint8_t>&, const std::uint8_t*,
                                                         std::size_t) const override {
    return std::nullopt;
  }
  std::optional<std::vector<std::uint8_t>> AesEcbEncrypt(const std::vector<std::uint8_t>&, const std::uint8_t*,
                                                         std::size_t) const override {
    return std::nullopt;
  }
};

// Programs as the fixture machine has them, the cache seeds' sections among them.
void Install(testing::FakePlatform& f) {
  struct Entry {
    const wchar_t* key;
    std::vector<std::pair<const wchar_t*, const wchar_t*>> values;
  };
  const Entry entries[] = {
      {L"{5551E28B-F15F-871F-A5B1-394374CD1A90}",
       {{L"DisplayName", L"Lynx Player"},
        {L"Publisher", L"Lynx Media"},
        {L"DisplayVersion", L"3.0"},
        {L"UninstallString", L"MsiExec.exe /X{5551E28B-F15F-871F-A5B1-394374CD1A90}"}}},
      {L"{04945C7C-1FFA-EC5A-D7B1-111DD4411559}",
       {{L"DisplayName", L"Magpie Reader"},
        {L"Publisher", L"Magpie"},
        {L"UninstallString", L"MsiExec.exe /X{04945C7C-1FFA-EC5A-D7B1-111DD4411559}"},
        {L"InstallDate", L"20220705"}}},
      {L"NewtEditor",
       {{L"DisplayName", L"Newt Editor"},
        {L"Publisher", L"Newt"},
        {L"InstallLocation", L"C:\\Program Files (x86)\\Newt"},
        {L"UninstallString", L"\"C:\\Program Files (x86)\\Newt\\unins000.exe\""},
        {L"DisplayIcon", L"C:\\Program Files (x86)\\Newt\\newt.exe,1"}}},
      {L"Kalender",
       {{L"DisplayName", L"B\u00fcrokalender"},
        {L"Publisher", L"M\u00fcller"},
        {L"UninstallString", L"C:\\Program Files (x86)\\M\u00fcller\\uninst.exe"}}},
  };
  const std::wstring base = L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  for (const auto& e : entries) {
    for (const auto& [name, value] : e.values) {
      f.registry.SetValue(platform::RegistryRoot::LocalMachine, base + e.key, name,
                          platform::RegistryValue::FromString(value));
    }
  }
  f.registry.SetValue(platform::RegistryRoot::LocalMachine, base + L"{04945C7C-1FFA-EC5A-D7B1-111DD4411559}",
                      L"EstimatedSize", platform::RegistryValue::FromDword(0x800));
  f.files.AddFolder(L"C:\\Program Files (x86)\\Newt");
}

// What the registry alone decides.
bool SameIdentity(const TSoftInfo& a, const TSoftInfo& b) {
  return a.DisplayName == b.DisplayName && a.Publisher == b.Publisher && a.DisplayVersion == b.DisplayVersion &&
         a.UninstallString == b.UninstallString && a.KeyPath == b.KeyPath && a.RootName == b.RootName &&
         a.HelpLink == b.HelpLink && a.Index == b.Index && a.Hidden == b.Hidden && a.Is64BitView == b.Is64BitView &&
         a.RegistrySize == b.RegistrySize && a.RegistryInstallDate == b.RegistryInstallDate;
}

bool SameCompletion(const TSoftInfo& a, const TSoftInfo& b) {
  return a.InstallDateText == b.InstallDateText && a.InstallDate == b.InstallDate &&
         a.QuickUninstall == b.QuickUninstall && a.Size == b.Size && a.SizeText == b.SizeText &&
         a.DisplayIcon == b.DisplayIcon && a.IconIndex == b.IconIndex && a.InstallLocation == b.InstallLocation;
}

void CheckAgainst(const std::vector<TSoftInfo>& baseline, const TSoftwareInfo& inventory,
                  const TExtIniFile* zeroChecked) {
  const auto& records = inventory.Records();
  Check(records.size() == baseline.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const TSoftInfo& r = records[i];
    Check(SameIdentity(r, baseline[i]));
    if (zeroChecked && !EqualsIgnoreCase(zeroChecked->ReadString(r.DisplayName, L"MD5", L""), kZeros)) {
      Check(SameCompletion(r, baseline[i]));
    }
    Check((r.InstallDate == 0) == r.InstallDateText.empty());
    if (r.Size > 0) Check(r.SizeText == FormatByteSize(r.Size));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ZeroDigest zeros;
  // One machine for every input: the inventory only reads it, and only the
  // cache file changes from one input to the next.
  static testing::FakePlatform* const f = [] {
    auto* machine = new testing::FakePlatform;
    Install(*machine);
    return machine;
  }();
  static const std::vector<TSoftInfo> baseline = TSoftwareInfo(**f, platform::SystemCrypto(), kCache).Records();
  Check(baseline.size() == 4);

  f->files.AddFile(kCache, std::vector<std::uint8_t>(data, data + size));
  CheckAgainst(baseline, TSoftwareInfo(**f, platform::SystemCrypto(), kCache), nullptr);
  const TExtIniFile file(f->files, kCache);
  CheckAgainst(baseline, TSoftwareInfo(**f, zeros, kCache), &file);
  return 0;
}
