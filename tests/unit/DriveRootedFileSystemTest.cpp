#include "platform/posix/DriveRootedFileSystem.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "base/Strings.h"
#include "platform/posix/PosixFileSystem.h"

namespace nudgelet::platform::posix {
namespace {

class DriveRootedFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/nudgelet-drives-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ / "C" / "Program Files (x86)" / "Raven Mail");
    std::ofstream(root_ / "C" / "Program Files (x86)" / "Raven Mail" / "raven.exe") << "MZ";
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  PosixFileSystem host_;
  std::filesystem::path root_;
};

TEST_F(DriveRootedFileSystemTest, FindsDrivePathsAsWindowsDoes) {
  const DriveRootedFileSystem drives(host_, Utf8ToWide(root_.string()));
  // Letter case, doubled and forward delimiters, and the prefixes that Windows' file
  // functions pass through all name the same folder.
  for (const wchar_t* folder :
       {L"C:\\Program Files (x86)\\Raven Mail", L"c:\\PROGRAM FILES (X86)\\raven mail\\",
        L"C:\\\\Program Files (x86)\\\\Raven Mail", L"C:/Program Files (x86)/Raven Mail",
        L"\\??\\C:\\Program Files (x86)\\Raven Mail", L"\\\\?\\C:\\Program Files (x86)\\Raven Mail"}) {
    EXPECT_TRUE(drives.DirectoryExists(folder)) << WideToUtf8(folder);
    EXPECT_TRUE(drives.FileExists(std::wstring(folder) + L"\\RAVEN.EXE")) << WideToUtf8(folder);
  }
  // The prefix counts only at the start, and stands for nothing by itself.
  EXPECT_FALSE(drives.DirectoryExists(L"C:\\Program Files (x86)\\??\\Raven Mail"));
  EXPECT_FALSE(drives.DirectoryExists(L"\\??\\Raven Mail"));
  EXPECT_FALSE(drives.FileExists(L"D:\\Program Files (x86)\\Raven Mail\\raven.exe"));
  // A POSIX path reaches the host unchanged.
  EXPECT_TRUE(drives.DirectoryExists(Utf8ToWide(root_.string()) + L"/C"));
}

}  // namespace
}  // namespace nudgelet::platform::posix
