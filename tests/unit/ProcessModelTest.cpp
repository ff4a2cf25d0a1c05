#include "platform/ProcessModel.h"

#include <gtest/gtest.h>

#include "platform/SpecialFolders.h"

namespace nudgelet::platform {
namespace {

TEST(ProcessModel, ProgramFilesAreTheX86FoldersOnlyOnSixtyFourBitWindows) {
  EXPECT_EQ(ShellFolderCsidl(csidl::kProgramFiles, true), csidl::kProgramFilesX86);
  EXPECT_EQ(ShellFolderCsidl(csidl::kProgramFilesCommon, true), csidl::kProgramFilesCommonX86);
  EXPECT_EQ(ShellFolderCsidl(csidl::kProgramFiles, false), csidl::kProgramFiles);
  EXPECT_EQ(ShellFolderCsidl(csidl::kAppData, true), csidl::kAppData);
  EXPECT_EQ(EnvironmentVariableName(L"programfiles", true), L"ProgramFiles(x86)");
  EXPECT_EQ(EnvironmentVariableName(L"CommonProgramFiles", true), L"CommonProgramFiles(x86)");
  EXPECT_EQ(EnvironmentVariableName(L"ProgramFiles", false), L"ProgramFiles");
  EXPECT_EQ(EnvironmentVariableName(L"APPDATA", true), L"APPDATA");
}

TEST(ProcessModel, SystemFolderAccessIsRedirectedLikeWow64) {
  const std::wstring win = L"C:\\Windows";
  EXPECT_EQ(FileSystemPath(L"C:\\Windows\\System32\\notepad.exe", win, true), L"C:\\Windows\\SysWOW64\\notepad.exe");
  EXPECT_EQ(FileSystemPath(L"c:\\windows\\system32", win, true), L"C:\\Windows\\SysWOW64");
  EXPECT_EQ(FileSystemPath(L"C:\\Windows\\System32\\drivers\\etc\\hosts", win, true),
            L"C:\\Windows\\System32\\drivers\\etc\\hosts");  // exempt from redirection
  EXPECT_EQ(FileSystemPath(L"C:\\Windows\\Sysnative\\cmd.exe", win, true), L"C:\\Windows\\System32\\cmd.exe");
  EXPECT_EQ(FileSystemPath(L"C:\\Windows\\System32x\\a", win, true), L"C:\\Windows\\System32x\\a");
  EXPECT_EQ(FileSystemPath(L"C:\\Windows\\System32\\notepad.exe", win, false), L"C:\\Windows\\System32\\notepad.exe");
  EXPECT_EQ(FileSystemPath(L"D:\\Tools\\x.exe", win + L"\\", true), L"D:\\Tools\\x.exe");
}

}  // namespace
}  // namespace nudgelet::platform
