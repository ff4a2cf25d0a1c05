// libFuzzer target for the colour values of skin ini files: whatever a skin
// author writes, reading it must not crash, and the forms that can only give
// a colour (three numbers) must give one without a top byte.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "skin/ColorTable.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Two bytes a character, so that every code unit, surrogates included, can occur.
  std::wstring text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  }
  using namespace nudgelet::skin;
  for (bool bgr : {false, true}) {
    const Color c = ParseColorValue(text, bgr);
    Check(c == ParseColorValue(text, bgr));
    if (text.find(L',') != std::wstring::npos) Check((c & 0xFF000000) == 0);
  }

  // The same text as ini lines of a colour section, then looked up again.
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    auto end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  ColorTable table;
  table.AddSection(L"fuzz", lines);
  table.GetColorValues([&](const std::wstring& name) { table.ColorToRGB(table.IdentToColor(name)); });
  for (const auto& line : table.LoadedColors()) Check(line.rfind(L"fuzz.", 0) == 0);
  table.ColorToIdent(table.IdentToColor(text));
  return 0;
}
