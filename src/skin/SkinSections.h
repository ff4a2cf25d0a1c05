#pragma once
// The skin's sections: every ini file of the packages merged into one table
// of class -> section -> key=value lines, each section with a link to its parent.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Strings.h"
#include "settings/IniSections.h"

namespace nudgelet::skin {

// One section's key=value lines and the section it inherits missing keys from.
class TRdValueStrings {
 public:
  TRdValueStrings(std::wstring name, std::vector<std::wstring> lines);

  const std::wstring& Name() const { return name_; }
  const std::vector<std::wstring>& Lines() const { return lines_; }
  const TRdValueStrings* Parent() const { return parent_; }
  void SetParent(const TRdValueStrings* parent) { parent_ = parent; }

  // The section's own value of the key (case ignored); nullopt when it has none.
  std::optional<std::wstring> OwnValue(std::wstring_view key) const;
  // The value along the parent chain.
  std::optional<std::wstring> Value(std::wstring_view key) const;
  // Own lines, repeated keys included, then the lines of the parent chain for
  // keys not seen yet.
  std::vector<std::wstring> LinesWithInherited() const;

  // A present key takes the new line in place of its first line and loses its
  // others; a new key is appended.
  void Merge(const std::vector<std::wstring>& lines);

 private:
  // The chain from this section up, each section once: parent links come from
  // skin files, and a loop among them must not hang the program.
  std::vector<const TRdValueStrings*> Chain() const;

  std::wstring name_;
  std::vector<std::wstring> lines_;
  const TRdValueStrings* parent_ = nullptr;
};

class SectionTable {
 public:
  void Clear();
  // Adds every section of the file under the class its "class" value names
  // (empty when absent), merging into sections that exist already.
  void MergeFile(const IniSections& ini);
  // Links each section with a "parent" value to that section of its class.
  void LinkParents();

  const TRdValueStrings* Find(std::wstring_view cls, std::wstring_view section) const;
  // Sections of a class in the order they were first added.
  std::vector<const TRdValueStrings*> SectionsOf(std::wstring_view cls) const;
  std::vector<std::wstring> Classes() const;

 private:
  struct Class {
    std::vector<std::unique_ptr<TRdValueStrings>> sections;
    std::map<std::wstring, std::size_t, LessIgnoreCase> index;
  };
  std::map<std::wstring, Class, LessIgnoreCase> classes_;
};

// The sections of an ini file in file order with their lines; a repeated
// section counts once, with the lines the ini readers find for it.
std::vector<std::pair<std::wstring, std::vector<std::wstring>>> SectionsInOrder(const IniSections& ini);

}  // namespace nudgelet::skin
