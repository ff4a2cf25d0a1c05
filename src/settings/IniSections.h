#pragma once
// The in-memory content of an ini file: sections in file order, each holding its
// lines ("name=value", or any other text kept as it stands). Section and key
// look-ups ignore letter case; a repeated section name adds another section and
// look-ups find the first, as do repeated keys within a section.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Strings.h"

namespace nudgelet {

class IniSections {
 public:
  // The parse rules of the product's ini readers: each line is trimmed; empty
  // lines and lines starting with ";" are skipped; "[name]" starts a section named
  // by the trimmed text between the brackets; lines before the first section are
  // ignored; a line with "=" is stored as trimmed name, "=", trimmed value; any
  // other line is stored as it is.
  static IniSections Parse(const std::vector<std::wstring>& lines);

  // "[name]", the section's lines, and an empty line after each section.
  std::vector<std::wstring> ToLines() const;

  std::optional<std::wstring> Value(std::wstring_view section, std::wstring_view key) const;
  // Replaces the first line of that key, or appends one; adds the section when missing.
  void SetValue(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  // Removes the key's first line; false when there was none.
  bool DeleteKey(std::wstring_view section, std::wstring_view key);
  // Removes every section of that name; false when there was none.
  bool EraseSection(std::wstring_view section);

  std::vector<std::wstring> SectionNames() const;
  // Key names of the first section of that name (lines without "=" have none).
  std::vector<std::wstring> KeyNames(std::wstring_view section) const;
  // The first section's lines as stored.
  std::vector<std::wstring> Lines(std::wstring_view section) const;
  bool HasSection(std::wstring_view section) const;

 private:
  struct Section {
    std::wstring name;
    std::vector<std::wstring> lines;
    std::map<std::wstring, std::size_t, LessIgnoreCase> firstLineOfKey;

    void Index();
  };

  const Section* Find(std::wstring_view name) const;
  Section* Find(std::wstring_view name);
  void Reindex();

  std::vector<Section> sections_;
  std::map<std::wstring, std::size_t, LessIgnoreCase> firstSection_;
};

// The name of a "name=value" line (text before the first "="); nullopt without "=".
std::optional<std::wstring_view> IniLineName(std::wstring_view line);

}  // namespace nudgelet
