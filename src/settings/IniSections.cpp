#include "settings/IniSections.h"

namespace nudgelet {

std::optional<std::wstring_view> IniLineName(std::wstring_view line) {
  const auto eq = line.find(L'=');
  if (eq == std::wstring_view::npos) return std::nullopt;
  return line.substr(0, eq);
}

void IniSections::Section::Index() {
  firstLineOfKey.clear();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = IniLineName(lines[i])) firstLineOfKey.emplace(std::wstring(*name), i);
  }
}

void IniSections::Reindex() {
  firstSection_.clear();
  for (std::size_t i = 0; i < sections_.size(); ++i) firstSection_.emplace(sections_[i].name, i);
}

IniSections IniSections::Parse(const std::vector<std::wstring>& lines) {
  IniSections ini;
  Section* current = nullptr;
  for (const auto& raw : lines) {
    const std::wstring_view line = TrimView(raw);
    if (line.empty() || line.front() == L';') continue;
    if (line.front() == L'[' && line.back() == L']' && line.size() >= 2) {
      ini.sections_.push_back(Section{Trim(line.substr(1, line.size() - 2)), {}, {}});
      current = &ini.sections_.back();
      continue;
    }
    if (!current) continue;
    const auto eq = line.find(L'=');
    if (eq == std::wstring_view::npos) {
      current->lines.emplace_back(line);
    } else {
      current->lines.push_back(Trim(line.substr(0, eq)) + L'=' + Trim(line.substr(eq + 1)));
    }
  }
  for (auto& s : ini.sections_) s.Index();
  ini.Reindex();
  return ini;
}

std::vector<std::wstring> IniSections::ToLines() const {
  std::vector<std::wstring> out;
  for (const auto& s : sections_) {
    out.push_back(L'[' + s.name + L']');
    out.insert(out.end(), s.lines.begin(), s.lines.end());
    out.emplace_back();
  }
  return out;
}

const IniSections::Section* IniSections::Find(std::wstring_view name) const {
  auto it = firstSection_.find(name);
  return it == firstSection_.end() ? nullptr : &sections_[it->second];
}

IniSections::Section* IniSections::Find(std::wstring_view name) {
  auto it = firstSection_.find(name);
  return it == firstSection_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::wstring> IniSections::Value(std::wstring_view section, std::wstring_view key) const {
  const Section* s = Find(section);
  if (!s) return std::nullopt;
  auto it = s->firstLineOfKey.find(key);
  if (it == s->firstLineOfKey.end()) return std::nullopt;
  const std::wstring& line = s->lines[it->second];
  return line.substr(line.find(L'=') + 1);
}

void IniSections::SetValue(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  Section* s = Find(section);
  if (!s) {
    sections_.push_back(Section{std::wstring(section), {}, {}});
    Reindex();
    s = &sections_.back();
  }
  std::wstring line = std::wstring(key) + L'=' + std::wstring(value);
  auto it = s->firstLineOfKey.find(key);
  if (it != s->firstLineOfKey.end()) {
    s->lines[it->second] = std::move(line);
    s->Index();  // the key may be written in another letter case now
  } else {
    s->lines.push_back(std::move(line));
    s->firstLineOfKey.emplace(std::wstring(key), s->lines.size() - 1);
  }
}

bool IniSections::DeleteKey(std::wstring_view section, std::wstring_view key) {
  Section* s = Find(section);
  if (!s) return false;
  auto it = s->firstLineOfKey.find(key);
  if (it == s->firstLineOfKey.end()) return false;
  s->lines.erase(s->lines.begin() + static_cast<std::ptrdiff_t>(it->second));
  s->Index();
  return true;
}

bool IniSections::EraseSection(std::wstring_view section) {
  const auto before = sections_.size();
  std::erase_if(sections_, [&](const Section& s) { return EqualsIgnoreCase(s.name, section); });
  if (sections_.size() == before) return false;
  Reindex();
  return true;
}

std::vector<std::wstring> IniSections::SectionNames() const {
  std::vector<std::wstring> names;
  for (const auto& s : sections_) names.push_back(s.name);
  return names;
}

std::vector<std::wstring> IniSections::KeyNames(std::wstring_view section) const {
  std::vector<std::wstring> names;
  if (const Section* s = Find(section)) {
    for (const auto& line : s->lines) {
      if (auto name = IniLineName(line)) names.emplace_back(*name);
    }
  }
  return names;
}

std::vector<std::wstring> IniSections::Lines(std::wstring_view section) const {
  const Section* s = Find(section);
  return s ? s->lines : std::vector<std::wstring>{};
}

bool IniSections::HasSection(std::wstring_view section) const { return Find(section) != nullptr; }

}  // namespace nudgelet
