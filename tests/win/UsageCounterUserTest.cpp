// What the library takes from the user's profile: its folders and the opt-out.
// The opt-out is driven through the library's client with a settings file of
// the test's own, so the profile that other tests share stays untouched.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "base/Strings.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScratchFolder.h"
#include "usagecounter/StatClient.h"
#include "usagecounter/UsageCounter.h"
#include "usagecounter/UserLocations.h"
#include "usagestats/CacheRules.h"

namespace nudgelet {
namespace {

using testing::LoopbackHttpServer;
using testing::ReadFileBytes;
using testing::ScratchFolder;
using testing::WriteFileBytes;

// Main.ini as the product writes it: UTF-16LE with a byte-order mark.
void WriteMainIni(const std::wstring& path, const std::wstring& text) {
  const auto utf16 = WideToUtf16Le(text);
  ASSERT_TRUE(WriteFileBytes(path, "\xFF\xFE" + std::string(utf16.begin(), utf16.end())));
}

TEST(UsageCounterUser, NothingIsRecordedOrSentUntilTheUserAllowsItAgain) {
  ScratchFolder folder(L"uc-optout");
  usagecounter::ClientSetup setup;
  setup.defaultCacheFolder = folder.File(L"Stat");
  setup.userSettingsFile = folder.File(L"Main.ini");
  const std::wstring cache = folder.File(L"Stat\\cache.jsonl");
  usagecounter::StatClient client(setup);
  LoopbackHttpServer server(LoopbackHttpServer::Reply::Ok);
  ASSERT_TRUE(server.Listening());
  ASSERT_EQ(client.SetParams(L"ph1", L"1.0", L"corvane", server.Url(L"/usage_v2.php").c_str()), UC_OK);

  // No Main.ini, or one without the key: statistics are on.
  ASSERT_EQ(client.Record(L"ph1", L"before", 0, 0, 0, 0), UC_OK);
  WriteMainIni(setup.userSettingsFile, L"[Main]\r\nLanguage=English\r\n");
  ASSERT_EQ(client.Record(L"ph1", L"b501", 7, 0, 0, 0), UC_OK);
  const std::string cached = ReadFileBytes(cache);
  ASSERT_EQ(usagestats::EventLines(cached).size(), 2u);

  WriteMainIni(setup.userSettingsFile, L"[Main]\r\nLanguage=English\r\n[Stat]\r\nDisabled=1\r\n");
  EXPECT_EQ(client.Record(L"ph1", L"a501", 0, 0, 0, 0), UC_DISABLED);
  EXPECT_EQ(client.PostCache(nullptr), UC_DISABLED);
  EXPECT_EQ(client.PostText(nullptr, L"hello"), UC_DISABLED);
  EXPECT_EQ(server.Connections(), 0);
  EXPECT_EQ(ReadFileBytes(cache), cached);

  // Removing data stays possible while switched off.
  EXPECT_EQ(client.ClearProduct(L"ph1"), UC_OK);
  EXPECT_TRUE(usagestats::EventLines(ReadFileBytes(cache)).empty());

  // Switching back on takes effect at once, without a new client.
  WriteMainIni(setup.userSettingsFile, L"[Stat]\r\nDisabled=0\r\n");
  EXPECT_EQ(client.Record(L"ph1", L"after", 0, 0, 0, 0), UC_OK);
  EXPECT_EQ(client.PostCache(nullptr), UC_OK);
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(UsageCounterUser, DataLivesInTheRoamingProductFolder) {
  wchar_t roaming[MAX_PATH + 1] = {};
  ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, roaming, CSIDL_APPDATA, FALSE));
  const std::wstring product = std::wstring(roaming) + L"\\Corvane\\Patchwell Hub";
  EXPECT_EQ(usagecounter::ProductUserFolder(), product);
  EXPECT_EQ(usagecounter::DefaultCacheFolder(), product + L"\\Stat");
  EXPECT_EQ(usagecounter::UserSettingsFile(), product + L"\\Main.ini");
  EXPECT_EQ(usagecounter::UserSetup().defaultCacheFolder, product + L"\\Stat");
}

}  // namespace
}  // namespace nudgelet
