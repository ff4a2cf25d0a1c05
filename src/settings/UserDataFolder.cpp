#include "settings/UserDataFolder.h"

#include "platform/SpecialFolderLookup.h"

namespace nudgelet {

using namespace platform;

std::wstring GetUserDataFolder(const Platform& p) {
  return GetSpecialFolder(p, csidl::kAppData) + L"\\Corvane\\Patchwell Hub\\";
}

std::wstring GetMainIniPath(const Platform& p) { return GetUserDataFolder(p) + L"Main.ini"; }

}  // namespace nudgelet
