#pragma once
// Colour identifiers and the process-wide colour table.
//
// A colour property may hold an identifier instead of a colour: 0xFF000000 plus
// the low 24 bits of the CRC-32 of the lower-cased name in UTF-16LE, for
// example public_element.cl_window_bg_border. The top byte is the one Windows
// uses for system colours, so identifiers travel through every colour property
// unchanged and are resolved only when painting, against whatever skin is
// loaded then.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nudgelet::skin {

// Windows layout: 0x00BBGGRR; 0xFF000000 + index for system colours.
using Color = std::uint32_t;

inline constexpr Color kClNone = 0x1FFFFFFF;
inline constexpr Color kClDefault = 0x20000000;
// What a colour that no skin defines draws as: a red nobody picks on purpose.
inline constexpr Color kUndefinedColor = 230;

// 0xFF000000 + low 24 bits of crc32(UTF-16LE(lower-case(name))).
Color ColorIdOf(std::wstring_view name);

// Reads a colour value as skin ini files write it. Never fails: what cannot be
// read is 0. `bgr` is the section's byte order.
Color ParseColorValue(std::wstring_view value, bool bgr);

// A decimal or "$"-hexadecimal 32-bit integer, as stored form data writes colours.
std::optional<std::uint32_t> ParseColorInteger(std::wstring_view text);

struct ColorItem {
  std::wstring name;  // "section.key", or a standard name such as "clRed"
  int index = -1;     // position in the loaded list; -1 for standard names
  Color color = 0;    // 0x00BBGGRR; 0 for standard names, which stand for their id
  Color id = 0;       // the identifier; for standard names their standard value
};

// The 52 standard names with their values.
struct StandardColor {
  const wchar_t* name;
  Color value;
};
const std::vector<StandardColor>& StandardColors();

class ColorTable {
 public:
  // Gives Windows' system colour for an index below 256.
  using SystemColorFn = std::function<Color(int index)>;
  // Receives diagnostics when debug output is on.
  using DebugFn = std::function<void(const std::wstring&)>;

  ColorTable();

  // Empties the hash and the loaded list and puts the standard names back.
  void Reset();

  // Adds one ini section's colours. "type=BGR" in the section (or `bgr` for a
  // whole file) switches to blue-green-red order; "type" and "class" are not colours.
  void AddSection(std::wstring_view section, const std::vector<std::wstring>& lines, bool bgr = false);

  // Takes over the other table's colours in one step, so that lookups meanwhile
  // see either the old table or the new one, never one half built.
  void ReplaceWith(ColorTable& built);

  // Identifier or number as text -> the value a colour property stores.
  Color IdentToColor(std::wstring_view text) const;
  // A stored value -> the colour to draw with.
  Color ColorToRGB(Color color) const;
  // The name a stored value stands for; nullopt when the table has none.
  std::optional<std::wstring> ColorToIdent(Color color) const;
  // Every loaded colour's name, then the standard names.
  void GetColorValues(const std::function<void(const std::wstring&)>& visit) const;
  // Like IdentToColor, but `fallback` when the table holds no record for the name.
  Color ColorByName(std::wstring_view name, Color fallback) const;
  // Whether some record stands for this identifier or value.
  bool Defines(Color key) const;

  // "section.key=value" lines as loaded, in order.
  std::vector<std::wstring> LoadedColors() const;

  void SetSystemColors(SystemColorFn fn);
  void SetDebugOutput(DebugFn fn);
  void SetDebugEnabled(bool on);

 private:
  void AddStandardNamesLocked();
  void InsertLocked(std::uint32_t key, ColorItem item);
  const ColorItem* FindLocked(std::uint32_t key) const;

  mutable std::mutex hashMutex_;
  // One record a key: a name defined again (a skin's color_setting.ini after
  // its main.ini) replaces what it said before.
  std::unordered_map<std::uint32_t, ColorItem> records_;

  mutable std::mutex loadedMutex_;
  std::vector<std::wstring> loaded_;

  SystemColorFn systemColors_;
  DebugFn debug_;
  bool debugEnabled_ = false;
};

// Windows' default system colours (the classic scheme), for builds and tools
// that have no Windows to ask.
Color DefaultSystemColor(int index);

}  // namespace nudgelet::skin
