// The update database with the real Windows file sharing and the tool's
// Windows build (run under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"

#include "DbTool.h"
#include "base/Paths.h"
#include "detection/UpdateDatabase.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemPlatform.h"
#include "settings/TextFile.h"
#include "support/ScratchFolder.h"

namespace nudgelet {
namespace {

using testing::RunToEnd;

using detection::TUpdateDatabase;
using detection::UpdateDatabaseSetup;
using platform::win32::SystemPlatform;
using platform::win32::UniqueKernelHandle;

std::wstring ProgramFolder() { return ExtractFilePath(SystemPlatform().folders.ExecutablePath()); }

tools::DbToolServices Services() {
  return {SystemPlatform().files, SystemPlatform().libraries, platform::SystemCrypto(),
          ProgramFolder() + L"sqlite3.dll"};
}

class UpdateDatabaseOnWindows : public ::testing::Test {
 protected:
  UpdateDatabaseOnWindows() { ::CreateDirectoryW(temp_.c_str(), nullptr); }

  UpdateDatabaseSetup DatabaseSetup() const {
    return {SystemPlatform().files, SystemPlatform().libraries, platform::SystemCrypto(),
            ProgramFolder() + L"sqlite3.dll", temp_ + L"\\"};
  }
  void Build(const char* key) {
    tools::BuildDatabaseFromSql(
        Services(), std::string("CREATE TABLE SoftBase(Key varchar(50)); INSERT INTO SoftBase VALUES('") + key + "');",
        dbd_);
  }

  testing::ScratchFolder folder_{L"updatedb"};
  std::wstring temp_ = folder_.File(L"temp");
  std::wstring dbd_ = folder_.File(L"VessaUpdate.dbd");
  std::wstring copy_ = temp_ + L"\\VessaUpdate.dbd";
};

TEST_F(UpdateDatabaseOnWindows, ACopyHeldOpenByAnotherConnectionIsReused) {
  Build("{OLD}");
  TUpdateDatabase running(DatabaseSetup());
  running.AcquireDatabase(dbd_);
  // SQLite keeps its files open without delete sharing.
  EXPECT_EQ(SystemPlatform().files.RemoveFile(copy_), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));

  Build("{NEW}");
  TUpdateDatabase second(DatabaseSetup());
  second.AcquireDatabase(dbd_);
  EXPECT_EQ(second.GetBaseField(L"{OLD}", L"Key"), L"{OLD}");
  EXPECT_EQ(second.GetBaseField(L"{NEW}", L"Key"), L"");
  second.ReleaseDatabase();
  running.ReleaseDatabase();

  // Once nobody holds it, the next open deciphers afresh.
  TUpdateDatabase later(DatabaseSetup());
  later.AcquireDatabase(dbd_);
  EXPECT_EQ(later.GetBaseField(L"{NEW}", L"Key"), L"{NEW}");
  later.ReleaseDatabase();
}

TEST_F(UpdateDatabaseOnWindows, ACopyLockedByAnotherProgramIsReusedToo) {
  Build("{OLD}");
  {
    TUpdateDatabase first(DatabaseSetup());
    first.AcquireDatabase(dbd_);
    first.ReleaseDatabase();
  }
  UniqueKernelHandle held(::CreateFileW(copy_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  Build("{NEW}");
  TUpdateDatabase db(DatabaseSetup());
  db.AcquireDatabase(dbd_);
  EXPECT_EQ(db.GetBaseField(L"{OLD}", L"Key"), L"{OLD}");
  db.ReleaseDatabase();
}

TEST_F(UpdateDatabaseOnWindows, ProbeLeavesNoFileBehind) {
  TUpdateDatabase db(DatabaseSetup());
  EXPECT_TRUE(db.ProbeDatabase(dbd_));
  EXPECT_EQ(::GetFileAttributesW(dbd_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UpdateDatabaseOnWindows, TheToolRoundTripsAndRefusesBadInput) {
  const std::wstring tool = L"\"" + ProgramFolder() + L"nudgelet-db.exe\" ";
  testing::WriteFileBytes(folder_.File(L"db.sql"), "CREATE TABLE t(a); INSERT INTO t VALUES('x');");
  EXPECT_EQ(RunToEnd(tool + L"build \"" + folder_.File(L"db.sql") + L"\" \"" + dbd_ + L"\""), 0u);
  EXPECT_EQ(RunToEnd(tool + L"decipher \"" + dbd_ + L"\" \"" + folder_.File(L"db.sqlite") + L"\""), 0u);
  EXPECT_EQ(
      RunToEnd(tool + L"encipher \"" + folder_.File(L"db.sqlite") + L"\" \"" + folder_.File(L"again.dbd") + L"\""), 0u);
  EXPECT_EQ(testing::ReadFileBytes(folder_.File(L"again.dbd")), testing::ReadFileBytes(dbd_));
  EXPECT_EQ(testing::ReadFileBytes(folder_.File(L"db.sqlite")).rfind(std::string("SQLite format 3\0", 16), 0), 0u);
  EXPECT_EQ(RunToEnd(tool + L"decipher \"" + folder_.File(L"db.sql") + L"\" \"" + folder_.File(L"x") + L"\""), 2u);
  EXPECT_EQ(RunToEnd(tool), 2u);
}

}  // namespace
}  // namespace nudgelet
