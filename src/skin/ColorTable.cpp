#include "skin/ColorTable.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>

#include "base/Numbers.h"
#include "base/Strings.h"
#include "settings/IniSections.h"

namespace nudgelet::skin {
namespace {

constexpr Color kSystemFlag = 0xFF000000;

bool IsSystemOrIdentifier(Color c) { return (c & 0xFF000000) == kSystemFlag; }

// At most eight hexadecimal digits; anything else is no number.
std::optional<std::uint32_t> ParseHex(std::wstring_view digits) {
  if (digits.size() > 8) return std::nullopt;
  const auto v = ParseDigits(digits, 16);
  if (!v) return std::nullopt;
  return static_cast<std::uint32_t>(*v);
}

// A signed decimal that fits 32 bits (negative values wrap, as colour values do).
std::optional<std::uint32_t> ParseDecimal(std::wstring_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  const auto v = ParseDigits(text, 10, negative ? 0x80000000ull : 0xFFFFFFFFull);
  if (!v) return std::nullopt;
  return negative ? static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(*v)) : static_cast<std::uint32_t>(*v);
}

// One component of "r,g,b": a bad number is 0, and values beyond a byte are
// held to its range rather than wrapped into another colour.
std::uint32_t Component(std::wstring_view text) {
  const auto v = ParseDecimal(TrimView(text));
  if (!v) return 0;
  const auto s = static_cast<std::int32_t>(*v);
  return static_cast<std::uint32_t>(std::clamp(s, 0, 255));
}

Color SwapRedBlue(std::uint32_t rgb) {
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF) | (rgb & 0xFF000000);
}

}  // namespace

Color ColorIdOf(std::wstring_view name) {
  // Every colour a skin names is looked up through here, so the lower-cased
  // UTF-16LE is hashed in pieces from the stack rather than copied twice.
  std::uint8_t piece[256];
  std::size_t used = 0;
  uLong crc = crc32(0L, Z_NULL, 0);
  const auto put = [&](char32_t unit) {
    piece[used++] = static_cast<std::uint8_t>(unit & 0xFF);
    piece[used++] = static_cast<std::uint8_t>((unit >> 8) & 0xFF);
    if (used == sizeof piece) {
      crc = crc32(crc, piece, static_cast<uInt>(used));
      used = 0;
    }
  };
  for (const wchar_t c : name) {
    auto unit = static_cast<char32_t>(FoldLower(c));
    if constexpr (sizeof(wchar_t) == 2) {
      put(unit);
    } else {
      // What UTF-16 would hold for a 32-bit character, as WideToUtf16Le writes it.
      if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF)) unit = 0xFFFD;
      if (unit >= 0x10000) {
        put(0xD800 + ((unit - 0x10000) >> 10));
        put(0xDC00 + ((unit - 0x10000) & 0x3FF));
      } else {
        put(unit);
      }
    }
  }
  crc = crc32(crc, piece, static_cast<uInt>(used));
  return kSystemFlag | (static_cast<Color>(crc) & 0x00FFFFFF);
}

std::optional<std::uint32_t> ParseColorInteger(std::wstring_view text) {
  text = TrimView(text);
  if (!text.empty() && text.front() == L'$') return ParseHex(text.substr(1));
  return ParseDecimal(text);
}

Color ParseColorValue(std::wstring_view value, bool bgr) {
  value = TrimView(value);
  if (value.empty()) return 0;

  if (value.find(L',') != std::wstring_view::npos) {
    std::uint32_t parts[3] = {0, 0, 0};
    std::size_t n = 0;
    std::size_t start = 0;
    while (true) {
      const auto comma = value.find(L',', start);
      const auto piece =
          value.substr(start, comma == std::wstring_view::npos ? std::wstring_view::npos : comma - start);
      if (n < 3) parts[n] = Component(piece);
      ++n;
      if (comma == std::wstring_view::npos) break;
      start = comma + 1;
    }
    if (n != 3) return 0;
    // Stored as 0x00BBGGRR; in red-green-blue order the first number is red.
    return bgr ? (parts[2] | (parts[1] << 8) | (parts[0] << 16)) : (parts[0] | (parts[1] << 8) | (parts[2] << 16));
  }

  // "#" names its own order, as on the web: red first, in either byte order.
  if (value.front() == L'#') return SwapRedBlue(ParseHex(value.substr(1)).value_or(0));
  if (value.front() == L'$' || bgr) {
    if (auto v = ParseColorInteger(value)) return *v;
    return ParseHex(value).value_or(0);
  }
  return SwapRedBlue(ParseHex(value).value_or(0));
}

const std::vector<StandardColor>& StandardColors() {
  static const std::vector<StandardColor> colors = {
      {L"clBlack", 0x00000000},
      {L"clMaroon", 0x00000080},
      {L"clGreen", 0x00008000},
      {L"clOlive", 0x00008080},
      {L"clNavy", 0x00800000},
      {L"clPurple", 0x00800080},
      {L"clTeal", 0x00808000},
      {L"clGray", 0x00808080},
      {L"clSilver", 0x00C0C0C0},
      {L"clRed", 0x000000FF},
      {L"clLime", 0x0000FF00},
      {L"clYellow", 0x0000FFFF},
      {L"clBlue", 0x00FF0000},
      {L"clFuchsia", 0x00FF00FF},
      {L"clAqua", 0x00FFFF00},
      {L"clWhite", 0x00FFFFFF},
      {L"clMoneyGreen", 0x00C0DCC0},
      {L"clSkyBlue", 0x00F0CAA6},
      {L"clCream", 0x00F0FBFF},
      {L"clMedGray", 0x00A4A0A0},
      {L"clActiveBorder", kSystemFlag | 10},
      {L"clActiveCaption", kSystemFlag | 2},
      {L"clAppWorkSpace", kSystemFlag | 12},
      {L"clBackground", kSystemFlag | 1},
      {L"clBtnFace", kSystemFlag | 15},
      {L"clBtnHighlight", kSystemFlag | 20},
      {L"clBtnShadow", kSystemFlag | 16},
      {L"clBtnText", kSystemFlag | 18},
      {L"clCaptionText", kSystemFlag | 9},
      {L"clGradientActiveCaption", kSystemFlag | 27},
      {L"clGradientInactiveCaption", kSystemFlag | 28},
      {L"clGrayText", kSystemFlag | 17},
      {L"clHighlight", kSystemFlag | 13},
      {L"clHighlightText", kSystemFlag | 14},
      {L"clHotLight", kSystemFlag | 26},
      {L"clInactiveBorder", kSystemFlag | 11},
      {L"clInactiveCaption", kSystemFlag | 3},
      {L"clInactiveCaptionText", kSystemFlag | 19},
      {L"clInfoBk", kSystemFlag | 24},
      {L"clInfoText", kSystemFlag | 23},
      {L"clMenu", kSystemFlag | 4},
      {L"clMenuBar", kSystemFlag | 30},
      {L"clMenuHighlight", kSystemFlag | 29},
      {L"clMenuText", kSystemFlag | 7},
      {L"clScrollBar", kSystemFlag | 0},
      {L"cl3DDkShadow", kSystemFlag | 21},
      {L"cl3DLight", kSystemFlag | 22},
      {L"clWindow", kSystemFlag | 5},
      {L"clWindowFrame", kSystemFlag | 6},
      {L"clWindowText", kSystemFlag | 8},
      {L"clDefault", kClDefault},
      {L"clNone", kClNone},
  };
  return colors;
}

Color DefaultSystemColor(int index) {
  // Windows 7's defaults, 0x00BBGGRR.
  static constexpr Color kDefaults[31] = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000, 0x000000, 0xB4B4B4,
      0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x544E43, 0xFFFFFF, 0x696969,
      0xE3E3E3, 0x000000, 0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};
  return index >= 0 && index < 31 ? kDefaults[index] : 0;
}

ColorTable::ColorTable() : systemColors_(DefaultSystemColor) {
  std::lock_guard lock(hashMutex_);
  AddStandardNamesLocked();
}

void ColorTable::Reset() {
  {
    std::lock_guard lock(loadedMutex_);
    loaded_.clear();
  }
  std::lock_guard lock(hashMutex_);
  records_.clear();
  AddStandardNamesLocked();
}

void ColorTable::ReplaceWith(ColorTable& built) {
  if (&built == this) return;
  std::scoped_lock lock(loadedMutex_, hashMutex_, built.loadedMutex_, built.hashMutex_);
  records_.swap(built.records_);
  loaded_.swap(built.loaded_);
}

void ColorTable::AddStandardNamesLocked() {
  for (const auto& standard : StandardColors()) {
    ColorItem item{standard.name, -1, 0, standard.value};
    InsertLocked(ColorIdOf(standard.name), item);
    InsertLocked(standard.value, std::move(item));
  }
}

void ColorTable::InsertLocked(std::uint32_t key, ColorItem item) { records_.insert_or_assign(key, std::move(item)); }

const ColorItem* ColorTable::FindLocked(std::uint32_t key) const {
  const auto at = records_.find(key);
  return at != records_.end() ? &at->second : nullptr;
}

void ColorTable::AddSection(std::wstring_view section, const std::vector<std::wstring>& lines, bool bgr) {
  struct Pending {
    std::wstring line;
    std::wstring key;
    std::wstring value;
  };
  std::vector<Pending> colors;
  for (const auto& line : lines) {
    const auto name = IniLineName(line);
    if (!name) continue;
    std::wstring key = Trim(*name);
    std::wstring value = Trim(std::wstring_view(line).substr(name->size() + 1));
    if (EqualsIgnoreCase(key, L"type")) {
      if (EqualsIgnoreCase(value, L"BGR")) bgr = true;
      continue;
    }
    if (EqualsIgnoreCase(key, L"class") || key.empty()) continue;
    colors.push_back({line, std::move(key), std::move(value)});
  }

  std::scoped_lock lock(loadedMutex_, hashMutex_);
  loaded_.reserve(loaded_.size() + colors.size());
  records_.reserve(records_.size() + colors.size());
  for (const auto& c : colors) {
    std::wstring name = std::wstring(section) + L"." + c.key;
    const int index = static_cast<int>(loaded_.size());
    loaded_.push_back(std::wstring(section) + L"." + c.line);
    const Color id = ColorIdOf(name);
    InsertLocked(id, ColorItem{std::move(name), index, ParseColorValue(c.value, bgr), id});
  }
}

Color ColorTable::IdentToColor(std::wstring_view text) const {
  const auto number = ParseColorInteger(text);
  const Color value = number ? *number : ColorIdOf(TrimView(text));
  std::lock_guard lock(hashMutex_);
  const ColorItem* item = FindLocked(value);
  return item ? item->id : value;
}

Color ColorTable::ColorToRGB(Color color) const {
  if (!IsSystemOrIdentifier(color)) return color;
  const auto low = color & 0x00FFFFFF;
  if (low < 256)
    return systemColors_ ? systemColors_(static_cast<int>(low)) : DefaultSystemColor(static_cast<int>(low));
  std::optional<Color> found;
  {
    std::lock_guard lock(hashMutex_);
    if (const ColorItem* item = FindLocked(color)) {
      // A standard name's identifier stands for its standard value, which may
      // itself be a system colour.
      found = item->index < 0 ? item->id : item->color;
    }
  }
  if (found) {
    // A system colour's value, from a standard name or written in a skin
    // ("$FF00000F"), is no colour to draw with until the system says which.
    if (IsSystemOrIdentifier(*found) && (*found & 0x00FFFFFF) < 256) return ColorToRGB(*found);
    return *found;
  }
  if (debugEnabled_ && debug_) {
    wchar_t text[48];
    std::swprintf(text, 48, L"warning non-color: %x", static_cast<unsigned>(color));
    debug_(text);
  }
  return kUndefinedColor;
}

std::optional<std::wstring> ColorTable::ColorToIdent(Color color) const {
  std::lock_guard lock(hashMutex_);
  const ColorItem* item = FindLocked(color);
  if (!item) return std::nullopt;
  return item->name;
}

void ColorTable::GetColorValues(const std::function<void(const std::wstring&)>& visit) const {
  std::vector<std::wstring> names;
  {
    std::lock_guard lock(loadedMutex_);
    for (const auto& entry : loaded_) {
      const auto eq = entry.find(L'=');
      names.push_back(Trim(std::wstring_view(entry).substr(0, eq)));
    }
  }
  for (const auto& standard : StandardColors()) names.emplace_back(standard.name);
  // Called outside the locks: the callback may well ask the table again.
  for (const auto& name : names) visit(name);
}

Color ColorTable::ColorByName(std::wstring_view name, Color fallback) const {
  const auto number = ParseColorInteger(name);
  const Color key = number ? *number : ColorIdOf(TrimView(name));
  std::lock_guard lock(hashMutex_);
  const ColorItem* item = FindLocked(key);
  return item ? item->id : fallback;
}

bool ColorTable::Defines(Color key) const {
  std::lock_guard lock(hashMutex_);
  return FindLocked(key) != nullptr;
}

std::vector<std::wstring> ColorTable::LoadedColors() const {
  std::lock_guard lock(loadedMutex_);
  return loaded_;
}

void ColorTable::SetSystemColors(SystemColorFn fn) { systemColors_ = std::move(fn); }
void ColorTable::SetDebugOutput(DebugFn fn) { debug_ = std::move(fn); }
void ColorTable::SetDebugEnabled(bool on) { debugEnabled_ = on; }

}  // namespace nudgelet::skin
