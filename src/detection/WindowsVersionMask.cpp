#include "detection/WindowsVersionMask.h"

namespace nudgelet::detection {

int WindowsVersionMask(platform::OsVersion v) {
  if (v.major < 6) return 1;
  if (v.major == 6) {
    switch (v.minor) {
      case 0:
        return 2;
      case 1:
        return 4;
      case 2:
        return 8;
      case 3:
        return 16;
      default:
        return 32;
    }
  }
  return 32;
}

}  // namespace nudgelet::detection
