#pragma once
// The detection the tip window runs while it is created: the update database
// taken for the program, the inventory of installed programs, matching, the
// icons and the rows of the update list frame. It lives from the window's
// creation to its close.

#include <memory>
#include <string>

#include "app/UpdateListFrame.h"
#include "detection/IgnoreList.h"
#include "detection/SoftwareInfo.h"
#include "detection/UpdateCatalogue.h"
#include "detection/UpdateDatabase.h"
#include "platform/AppFrame.h"
#include "platform/Crypto.h"
#include "platform/FileIconSource.h"
#include "platform/Platform.h"

namespace nudgelet::app {

class TipDetection {
 public:
  struct Setup {
    const platform::Platform& platform;
    const platform::Crypto& crypto;
    const platform::FileIconSource& icons;
    std::wstring sqliteLibrary;
    std::wstring tempFolder;      // with a trailing separator
    std::wstring userDataFolder;  // with a trailing separator
    std::wstring executablePath;
    Bitmap defaultIcon;  // the program icon of rows without one of their own
  };

  explicit TipDetection(Setup setup);
  ~TipDetection();
  TipDetection(const TipDetection&) = delete;
  TipDetection& operator=(const TipDetection&) = delete;

  bool ProbeDatabase(const std::wstring& path);
  // Takes the database and makes the inventory, then fills the frame. False,
  // before anything was filled, when the database cannot be opened or read.
  bool Run(TFrame_SoftUpdata& frame, const std::wstring& databasePath);
  // Frees the inventory and lets the database go.
  void Release();

 private:
  Setup setup_;
  platform::TAppFrame appFrame_;
  detection::TUpdateDatabase database_;
  std::unique_ptr<detection::TSoftwareInfo> inventory_;
  bool acquired_ = false;
};

}  // namespace nudgelet::app
