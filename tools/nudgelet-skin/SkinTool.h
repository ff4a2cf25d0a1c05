#pragma once
// nudgelet-skin: looks into skin packages and the skin they make up.
//
//   list PACKAGE             every resource of the package with its size, sorted
//   cat PACKAGE NAME         a resource's bytes
//   color SKINFOLDER NAME    the colour a name resolves to, as 0x00BBGGRR
//   check SKINFOLDER         every picture and colour the two forms name resolves
//   render SKINFOLDER WxH OUT.png LINE...
//                            draws a picture descriptor at that size into a PNG
//
// Exit codes: 0 done, 1 check or colour found something missing, 2 bad input.

#include <ostream>
#include <string>
#include <vector>

namespace nudgelet::skintool {

int Run(const std::vector<std::wstring>& args, std::ostream& out, std::ostream& err);

// What the tip window and the update list frame name.
const std::vector<std::wstring>& FormPictures();
const std::vector<std::wstring>& FormColors();

}  // namespace nudgelet::skintool
