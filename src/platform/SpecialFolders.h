#pragma once
// Shell special folders and the system's fixed directories.

#include <string>

namespace nudgelet::platform {

// The CSIDL numbers the product uses.
namespace csidl {
inline constexpr int kPrograms = 2;
inline constexpr int kPersonal = 5;
inline constexpr int kFavorites = 6;
inline constexpr int kStartup = 7;
inline constexpr int kRecent = 8;
inline constexpr int kSendTo = 9;
inline constexpr int kStartMenu = 11;
inline constexpr int kMyMusic = 13;
inline constexpr int kMyVideo = 14;
inline constexpr int kDesktopDirectory = 16;
inline constexpr int kNetHood = 19;
inline constexpr int kFonts = 20;
inline constexpr int kTemplates = 21;
inline constexpr int kCommonStartMenu = 22;
inline constexpr int kCommonPrograms = 23;
inline constexpr int kCommonStartup = 24;
inline constexpr int kCommonDesktopDirectory = 25;
inline constexpr int kAppData = 26;
inline constexpr int kPrintHood = 27;
inline constexpr int kLocalAppData = 28;
inline constexpr int kCommonFavorites = 31;
inline constexpr int kInternetCache = 32;
inline constexpr int kCookies = 33;
inline constexpr int kHistory = 34;
inline constexpr int kCommonAppData = 35;
inline constexpr int kWindows = 36;
inline constexpr int kSystem = 37;
inline constexpr int kProgramFiles = 38;
inline constexpr int kMyPictures = 39;
inline constexpr int kProfile = 40;
inline constexpr int kSystemX86 = 41;
inline constexpr int kProgramFilesX86 = 42;
inline constexpr int kProgramFilesCommon = 43;
inline constexpr int kProgramFilesCommonX86 = 44;
inline constexpr int kCommonTemplates = 45;
inline constexpr int kCommonDocuments = 46;
inline constexpr int kCommonAdminTools = 47;
inline constexpr int kAdminTools = 48;
inline constexpr int kCommonMusic = 53;
inline constexpr int kCommonPictures = 54;
inline constexpr int kCommonVideo = 55;
inline constexpr int kResources = 56;
inline constexpr int kCdBurnArea = 59;
}  // namespace csidl

class SpecialFolders {
 public:
  virtual ~SpecialFolders() = default;
  // The shell's folder for a CSIDL, never created; empty when the shell has none.
  // The CSIDL is passed through as given: ProcessModel maps the ones whose answer
  // depends on the process's bitness.
  virtual std::wstring ShellFolder(int csidl) const = 0;
  virtual std::wstring WindowsDirectory() const = 0;
  virtual std::wstring SystemDirectory() const = 0;
  virtual std::wstring TempPath() const = 0;
  // The full path of the running program.
  virtual std::wstring ExecutablePath() const = 0;
};

}  // namespace nudgelet::platform
