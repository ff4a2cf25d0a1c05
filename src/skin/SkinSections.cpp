#include "skin/SkinSections.h"

#include <algorithm>
#include <set>
#include <unordered_set>

namespace nudgelet::skin {
namespace {

std::wstring KeyOf(std::wstring_view line) {
  const auto name = IniLineName(line);
  return name ? Trim(*name) : std::wstring();
}

std::wstring ValueOf(std::wstring_view line) {
  const auto eq = line.find(L'=');
  return eq == std::wstring_view::npos ? std::wstring() : Trim(line.substr(eq + 1));
}

}  // namespace

TRdValueStrings::TRdValueStrings(std::wstring name, std::vector<std::wstring> lines)
    : name_(std::move(name)), lines_(std::move(lines)) {}

std::optional<std::wstring> TRdValueStrings::OwnValue(std::wstring_view key) const {
  for (const auto& line : lines_) {
    const auto name = IniLineName(line);
    if (name && EqualsIgnoreCase(TrimView(*name), key)) return ValueOf(line);
  }
  return std::nullopt;
}

std::vector<const TRdValueStrings*> TRdValueStrings::Chain() const {
  // Real skins link a few levels, which a look back through the chain checks
  // for free; a skin that links thousands must still load in linear time.
  constexpr std::size_t kShort = 16;
  std::vector<const TRdValueStrings*> chain;
  std::unordered_set<const TRdValueStrings*> seen;
  for (const TRdValueStrings* s = this; s; s = s->parent_) {
    if (chain.size() < kShort) {
      if (std::find(chain.begin(), chain.end(), s) != chain.end()) break;
    } else {
      if (seen.empty()) seen.insert(chain.begin(), chain.end());
      if (!seen.insert(s).second) break;
    }
    chain.push_back(s);
  }
  return chain;
}

std::optional<std::wstring> TRdValueStrings::Value(std::wstring_view key) const {
  for (const TRdValueStrings* s : Chain()) {
    if (auto v = s->OwnValue(key)) return v;
  }
  return std::nullopt;
}

std::vector<std::wstring> TRdValueStrings::LinesWithInherited() const {
  // A section's own lines all stay, repeated keys too: they are applied in
  // order, so the last one wins. An ancestor adds only keys that no nearer
  // section has.
  std::vector<std::wstring> out;
  std::set<std::wstring, LessIgnoreCase> seen;
  for (const TRdValueStrings* s : Chain()) {
    std::set<std::wstring, LessIgnoreCase> own;
    for (const auto& line : s->lines_) {
      const auto key = KeyOf(line);
      if (key.empty()) {
        if (s == this) out.push_back(line);
        continue;
      }
      if (seen.count(key)) continue;
      own.insert(key);
      out.push_back(line);
    }
    seen.insert(own.begin(), own.end());
  }
  return out;
}

void TRdValueStrings::Merge(const std::vector<std::wstring>& lines) {
  const auto sameKey = [](const std::wstring& key) {
    return [&key](const std::wstring& own) { return EqualsIgnoreCase(KeyOf(own), key); };
  };
  // Keys this file has set already: a key it repeats stays repeated.
  std::set<std::wstring, LessIgnoreCase> merged;
  for (const auto& line : lines) {
    const auto key = KeyOf(line);
    if (key.empty()) {
      lines_.push_back(line);
      continue;
    }
    if (merged.count(key)) {
      const auto last = std::find_if(lines_.rbegin(), lines_.rend(), sameKey(key));
      lines_.insert(last.base(), line);
      continue;
    }
    merged.insert(key);
    const auto first = std::find_if(lines_.begin(), lines_.end(), sameKey(key));
    if (first == lines_.end()) {
      lines_.push_back(line);
      continue;
    }
    // The key takes the new line in place of its first one; what an earlier
    // file said after that must not win over it.
    *first = line;
    lines_.erase(std::remove_if(std::next(first), lines_.end(), sameKey(key)), lines_.end());
  }
}

std::vector<std::pair<std::wstring, std::vector<std::wstring>>> SectionsInOrder(const IniSections& ini) {
  std::vector<std::pair<std::wstring, std::vector<std::wstring>>> out;
  std::set<std::wstring, LessIgnoreCase> seen;
  for (const auto& name : ini.SectionNames()) {
    if (!seen.insert(name).second) continue;
    out.emplace_back(name, ini.Lines(name));
  }
  return out;
}

void SectionTable::Clear() { classes_.clear(); }

void SectionTable::MergeFile(const IniSections& ini) {
  for (auto& [name, lines] : SectionsInOrder(ini)) {
    const std::wstring cls = ini.Value(name, L"class").value_or(L"");
    Class& c = classes_[cls];
    if (auto it = c.index.find(name); it != c.index.end()) {
      c.sections[it->second]->Merge(lines);
    } else {
      c.index.emplace(name, c.sections.size());
      c.sections.push_back(std::make_unique<TRdValueStrings>(name, std::move(lines)));
    }
  }
}

void SectionTable::LinkParents() {
  for (auto& [cls, c] : classes_) {
    for (auto& section : c.sections) {
      section->SetParent(nullptr);
      const auto parent = section->OwnValue(L"parent");
      if (!parent || parent->empty() || EqualsIgnoreCase(*parent, section->Name())) continue;
      if (auto it = c.index.find(*parent); it != c.index.end()) section->SetParent(c.sections[it->second].get());
    }
  }
}

const TRdValueStrings* SectionTable::Find(std::wstring_view cls, std::wstring_view section) const {
  const auto c = classes_.find(cls);
  if (c == classes_.end()) return nullptr;
  const auto s = c->second.index.find(section);
  return s == c->second.index.end() ? nullptr : c->second.sections[s->second].get();
}

std::vector<const TRdValueStrings*> SectionTable::SectionsOf(std::wstring_view cls) const {
  std::vector<const TRdValueStrings*> out;
  const auto c = classes_.find(cls);
  if (c == classes_.end()) return out;
  for (const auto& s : c->second.sections) out.push_back(s.get());
  return out;
}

std::vector<std::wstring> SectionTable::Classes() const {
  std::vector<std::wstring> out;
  for (const auto& [name, c] : classes_) out.push_back(name);
  return out;
}

}  // namespace nudgelet::skin
