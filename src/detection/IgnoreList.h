#pragma once
// The products and editions the user told the product not to offer.

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace nudgelet::detection {

class TIgnoreList {
 public:
  // Reads the key names of [Ignore] in Main.ini once; a missing file ignores nothing.
  TIgnoreList(const platform::FileSystem& files, const std::wstring& mainIniPath);
  // The name occurs (case-sensitively) inside one of the ignore keys.
  bool IsIgnored(const std::wstring& name) const;

 private:
  std::vector<std::wstring> keys_;
};

}  // namespace nudgelet::detection
