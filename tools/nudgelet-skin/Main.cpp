#include <iostream>
#include <string>
#include <vector>

#include "SkinTool.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>

int wmain(int argc, wchar_t** argv) {
  // Resource bytes go out unchanged.
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::wstring> args(argv + 1, argv + argc);
  return nudgelet::skintool::Run(args, std::cout, std::cerr);
}
#else
#include "base/Strings.h"

int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(nudgelet::Utf8ToWide(argv[i]));
  return nudgelet::skintool::Run(args, std::cout, std::cerr);
}
#endif
