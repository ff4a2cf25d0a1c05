#include <gtest/gtest.h>

#include "base/ByteRecords.h"
#include "detection/SnapshotRegistry.h"
#include "detection/SoftwareInfo.h"
#include "detection/UninstallSnapshot.h"
#include "platform/Crypto.h"
#include "platform/RegFile.h"
#include "support/FakePlatform.h"

namespace nudgelet::detection {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;
using platform::RegistryValue;
using testing::FakePlatform;

const std::wstring kCache = L"C:\\Users\\tester\\AppData\\Roaming\\Corvane\\Patchwell Hub\\SoftwareCache.ini";
const std::wstring kSnapshot = L"C:\\Users\\tester\\AppData\\Local\\Temp\\NudgeletUninstall.snapshot";
const std::wstring kUninstall32 = L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Counts what reaches the registry below the keys opened by path: every
// subkey opened, every value read from one.
struct Calls {
  int subKeysOpened = 0;
  int valuesRead = 0;
  bool timesKnown = true;  // false: every key lists its subkeys without their times
};

class CountingKey final : public RegistryKey {
 public:
  CountingKey(std::unique_ptr<RegistryKey> key, Calls& calls, bool subKey)
      : key_(std::move(key)), calls_(calls), subKey_(subKey) {}
  std::vector<std::wstring> SubKeyNames() const override { return key_->SubKeyNames(); }
  std::vector<platform::RegistrySubKey> SubKeys() const override {
    auto keys = key_->SubKeys();
    if (!calls_.timesKnown) {
      for (auto& key : keys) key.lastWriteTime = 0;
    }
    return keys;
  }
  std::vector<std::wstring> ValueNames() const override { return key_->ValueNames(); }
  std::optional<RegistryValue> ReadValue(std::wstring_view name) const override {
    if (subKey_) ++calls_.valuesRead;
    return key_->ReadValue(name);
  }
  std::unique_ptr<RegistryKey> OpenSubKey(std::wstring_view name) const override {
    ++calls_.subKeysOpened;
    auto key = key_->OpenSubKey(name);
    return key ? std::make_unique<CountingKey>(std::move(key), calls_, true) : nullptr;
  }

 private:
  std::unique_ptr<RegistryKey> key_;
  Calls& calls_;
  bool subKey_;
};

class CountingRegistry final : public platform::Registry {
 public:
  explicit CountingRegistry(const platform::Registry& registry) : registry_(registry) {}
  std::unique_ptr<RegistryKey> OpenReadOnly(RegistryRoot root, std::wstring_view path,
                                            platform::RegistryView view) const override {
    auto key = registry_.OpenReadOnly(root, path, view);
    return key ? std::make_unique<CountingKey>(std::move(key), calls, false) : nullptr;
  }
  mutable Calls calls;

 private:
  const platform::Registry& registry_;
};

UninstallSnapshot SampleSnapshot() {
  UninstallSnapshot s;
  SnapshotKey& a = s.keys[L"2147483650:1:SOFTWARE\\UNINSTALL\\B\u00dcRO"];
  a.lastWriteTime = 0x01DB2F3A4B5C6D7Eull;
  a.leaf = true;
  a.values[L"DisplayName"] = RegistryValue::FromString(L"B\u00fcrokalender \U0001F4C5");
  a.values[L"EstimatedSize"] = RegistryValue::FromDword(2048);
  a.values[L"Readme"] = std::nullopt;
  a.values[L"Blob"] = RegistryValue{platform::RegistryValueType::Binary, {0, 1, 2, 0xFF}};
  s.keys[L"2147483649:0:SOFTWARE\\UNINSTALL"];
  return s;
}

TEST(UninstallSnapshot, RoundTripsAndRefusesEveryDamage) {
  const UninstallSnapshot sample = SampleSnapshot();
  const std::vector<std::uint8_t> bytes = sample.Serialize();
  ASSERT_EQ(UninstallSnapshot::Parse(bytes), sample);

  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto flipped = bytes;
    flipped[i] ^= 0x10;
    EXPECT_FALSE(UninstallSnapshot::Parse(flipped)) << "byte " << i;
    EXPECT_FALSE(UninstallSnapshot::Parse({bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(i)}))
        << "cut at " << i;
  }
  // A file whose checksum holds can still lie about its counts and sizes.
  auto lying = bytes;
  lying.resize(lying.size() - kChecksumSize);
  lying[8] = lying[9] = lying[10] = lying[11] = 0xFF;
  ByteRecordWriter resealed{lying};
  resealed.Seal();
  EXPECT_FALSE(UninstallSnapshot::Parse(resealed.out));
}

class SnapshotScan : public ::testing::Test {
 protected:
  SnapshotScan() {
    f.files.AddFolder(L"C:\\Users\\tester\\AppData\\Local\\Temp");
    platform::LoadRegFile(
        f.registry, testing::Utf16LeWithBom(
                        L"Windows Registry Editor Version 5.00\r\n\r\n"
                        L"[HKEY_LOCAL_MACHINE\\" +
                        kUninstall32 +
                        L"Alpha]\r\n"
                        L"\"DisplayName\"=\"Alpha\"\r\n\"UninstallString\"=\"a.exe\"\r\n\"DisplayVersion\"=\"1.0\"\r\n"
                        L"[HKEY_LOCAL_MACHINE\\" +
                        kUninstall32 +
                        L"Beta]\r\n"
                        L"\"DisplayName\"=\"Beta\"\r\n\"UninstallString\"=\"b.exe\"\r\n\"DisplayVersion\"=\"2.0\"\r\n"
                        L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gamma]\r\n"
                        L"\"DisplayName\"=\"Gamma\"\r\n\"UninstallString\"=\"g.exe\"\r\n"));
  }

  // The records of a scan through the snapshot, which must be those of a scan without one.
  std::vector<TSoftInfo> Scan() {
    counting.calls = {};
    TSoftwareInfo remembered(platform, platform::SystemCrypto(), kCache, kSnapshot);
    TSoftwareInfo plain(*f, platform::SystemCrypto(), kCache);
    EXPECT_EQ(remembered.Records(), plain.Records());
    return remembered.Records();
  }

  static std::wstring VersionOf(const std::vector<TSoftInfo>& records, const std::wstring& name) {
    for (const auto& r : records) {
      if (r.DisplayName == name) return r.DisplayVersion;
    }
    return L"(none)";
  }

  FakePlatform f;
  CountingRegistry counting{f.registry};
  platform::Platform platform{counting, f.processes, f.folders, f.system, f.libraries, f.shell, f.files};
};

TEST_F(SnapshotScan, OpensOnlyWhatChangedSinceTheLastScan) {
  Scan();
  const int everyKey = counting.calls.subKeysOpened;
  EXPECT_GE(everyKey, 3);
  const int writes = f.files.AtomicWrites();

  // Nothing changed: no entry is opened, nothing is read, the file stays as it is.
  Scan();
  EXPECT_EQ(counting.calls.subKeysOpened, 0);
  EXPECT_EQ(counting.calls.valuesRead, 0);
  EXPECT_EQ(f.files.AtomicWrites(), writes);

  // A value set: that entry alone is read again.
  f.registry.SetValue(RegistryRoot::LocalMachine, kUninstall32 + L"Beta", L"DisplayVersion",
                      RegistryValue::FromString(L"2.1"));
  EXPECT_EQ(VersionOf(Scan(), L"Beta"), L"2.1");
  EXPECT_EQ(counting.calls.subKeysOpened, 1);

  // A subkey added below an entry: the entry is listed again and the new key visited.
  f.registry.SetValue(RegistryRoot::LocalMachine, kUninstall32 + L"Alpha\\Plugin", L"DisplayName",
                      RegistryValue::FromString(L"Alpha Plugin"));
  f.registry.SetValue(RegistryRoot::LocalMachine, kUninstall32 + L"Alpha\\Plugin", L"UninstallString",
                      RegistryValue::FromString(L"p.exe"));
  EXPECT_EQ(VersionOf(Scan(), L"Alpha Plugin"), L"-");
  Scan();
  EXPECT_EQ(counting.calls.subKeysOpened, 1);  // Alpha, which has a subkey, is listed each time

  // An entry removed is gone from the records and from the snapshot.
  f.registry.DeleteKey(RegistryRoot::LocalMachine, kUninstall32 + L"Beta");
  EXPECT_EQ(VersionOf(Scan(), L"Beta"), L"(none)");
  const auto saved = UninstallSnapshot::Parse(f.files.Bytes(kSnapshot));
  ASSERT_TRUE(saved);
  for (const auto& [identity, key] : saved->keys) EXPECT_EQ(identity.find(L"BETA"), std::wstring::npos);

  // A damaged file costs one full scan and is written anew.
  auto damaged = f.files.Bytes(kSnapshot);
  damaged[damaged.size() / 2] ^= 1;
  f.files.AddFile(kSnapshot, damaged);
  Scan();
  EXPECT_GE(counting.calls.subKeysOpened, everyKey);
  Scan();
  EXPECT_EQ(counting.calls.subKeysOpened, 1);
}

TEST_F(SnapshotScan, KeysWithoutATrustedTimeAreAlwaysRead) {
  // Times the registry cannot vouch for (0) are never matched, even by a snapshot that holds 0.
  const TSoftwareInfo plain(*f, platform::SystemCrypto(), kCache);
  for (int run = 0; run < 2; ++run) {
    counting.calls = {};
    counting.calls.timesKnown = false;
    TSoftwareInfo inventory(platform, platform::SystemCrypto(), kCache, kSnapshot);
    EXPECT_EQ(inventory.Records(), plain.Records());
    EXPECT_GE(counting.calls.subKeysOpened, 3);
  }
}

}  // namespace
}  // namespace nudgelet::detection
