#include "skin/Published.h"

#include <algorithm>

#include "base/Strings.h"

namespace nudgelet::skin {

bool PropertyInfo::ReadOnly() const {
  switch (kind) {
    case PropKind::Object:
    case PropKind::Collection:
    case PropKind::Picture:
      return false;  // reached through, not assigned
    default:
      return !set;
  }
}

bool PropertyInfo::IsStored(const TPersistent& owner) const {
  if (stored) return stored(owner);
  if (!get) return true;
  const PropValue value = get(owner);
  if (defaultValue) return value != *defaultValue;
  if (const auto* text = std::get_if<std::wstring>(&value)) return !text->empty();
  if (const auto* lines = std::get_if<std::vector<std::wstring>>(&value)) return !lines->empty();
  return true;
}

bool ClassInfo::InheritsFrom(const ClassInfo& other) const {
  for (const ClassInfo* c = this; c; c = c->parent_) {
    if (c == &other) return true;
  }
  return false;
}

std::vector<const PropertyInfo*> ClassInfo::Properties() const {
  // What the ancestors declare and this class does not redeclare comes first;
  // a class that redeclares everything thereby sets its own order.
  std::vector<const PropertyInfo*> all;
  if (parent_) {
    for (const PropertyInfo* inherited : parent_->Properties()) {
      const bool redeclared = std::any_of(
          own_.begin(), own_.end(), [&](const auto& info) { return EqualsIgnoreCase(info->name, inherited->name); });
      if (!redeclared) all.push_back(inherited);
    }
  }
  for (const auto& info : own_) all.push_back(info.get());
  return all;
}

const PropertyInfo* ClassInfo::Find(std::wstring_view name) const {
  for (const ClassInfo* c = this; c; c = c->parent_) {
    for (const auto& info : c->own_) {
      if (EqualsIgnoreCase(info->name, name)) return info.get();
    }
  }
  return nullptr;
}

PropertyInfo& ClassInfo::Add(PropertyInfo info) {
  own_.push_back(std::make_unique<PropertyInfo>(std::move(info)));
  return *own_.back();
}

}  // namespace nudgelet::skin
