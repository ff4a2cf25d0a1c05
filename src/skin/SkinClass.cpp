#include "skin/SkinClass.h"

#include <algorithm>
#include <exception>

#include "base/Strings.h"
#include "settings/IniSections.h"
#include "skin/Font.h"
#include "skin/PackageStore.h"
#include "skin/Picture.h"
#include "skin/PropertyPath.h"

namespace nudgelet::skin {
namespace {

// Keys that organise the sections rather than set anything.
bool IsOrganisingKey(std::wstring_view key) {
  return EqualsIgnoreCase(key, L"class") || EqualsIgnoreCase(key, L"parent") || EqualsIgnoreCase(key, L"SkinRcc");
}

bool Listed(const std::vector<std::wstring>& paths, std::wstring_view key) {
  return std::any_of(paths.begin(), paths.end(),
                     [&](const std::wstring& path) { return EqualsIgnoreCase(TrimView(path), key); });
}

// Properties a section must not carry over from one control to another:
// where it sits, its order and its texts belong to the form.
bool LeftOutOfCurrentValues(const std::wstring& path) {
  static const wchar_t* const kLeftOut[] = {L"Left",    L"Top",  L"Width", L"Height",       L"TabOrder",
                                            L"Caption", L"Text", L"Lines", L"Lines.Strings"};
  return std::any_of(std::begin(kLeftOut), std::end(kLeftOut),
                     [&](const wchar_t* name) { return EqualsIgnoreCase(path, name); });
}

}  // namespace

// --- SkinClassRegistry ---

SkinClassRegistry::~SkinClassRegistry() {
  if (connected_) store_.SetRefreshAllHook(nullptr);
}

void SkinClassRegistry::Add(TRdSkinClass* skinClass) {
  auto at = std::lower_bound(registered_.begin(), registered_.end(), skinClass,
                             [](const TRdSkinClass* a, const TRdSkinClass* b) { return a->Serial() < b->Serial(); });
  if (at == registered_.end() || *at != skinClass) registered_.insert(at, skinClass);
}

void SkinClassRegistry::Remove(TRdSkinClass* skinClass) {
  registered_.erase(std::remove(registered_.begin(), registered_.end(), skinClass), registered_.end());
}

void SkinClassRegistry::ApplyAll() {
  // Applying may register or drop skin classes (a section may name another
  // section for a sub-object): work from a snapshot, skipping the dropped.
  const std::vector<TRdSkinClass*> snapshot = registered_;
  std::exception_ptr first;
  for (TRdSkinClass* skinClass : snapshot) {
    if (std::find(registered_.begin(), registered_.end(), skinClass) == registered_.end()) continue;
    try {
      skinClass->Apply(false);
    } catch (const EPropertyValueError&) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

void SkinClassRegistry::ConnectRefresh(std::function<void()> repaint) {
  connected_ = true;
  store_.SetRefreshAllHook([this, repaint = std::move(repaint)] {
    ApplyAll();
    if (repaint) repaint();
  });
}

// --- TRdSkinClass ---

const ClassInfo& TRdSkinClass::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdSkinClass", nullptr);
    Publisher<TRdSkinClass> p(c);
    p.String(
         L"SkinClass", [](const TRdSkinClass& s) { return s.skinClass_; },
         [](TRdSkinClass& s, const std::wstring& v) { s.SetSkinClass(v); })
        .stored = [](const TPersistent& o) {
      // A font that follows a skinned parent font has its section from there.
      const auto& s = static_cast<const TRdSkinClass&>(o);
      const auto* font = dynamic_cast<const TRdFont*>(s.owner_);
      return !s.skinClass_.empty() && !(font && font->FollowsParentSkinClass());
    };
    p.Strings(
        L"IgnoreValues", [](const TRdSkinClass& s) { return s.ignoreValues_; },
        [](TRdSkinClass& s, const std::vector<std::wstring>& v) { s.SetIgnoreValues(v); });
    p.ReadOnlyStrings(L"SkinValues", [](const TRdSkinClass& s) { return s.skinValues_; }).stored =
        [](const TPersistent&) { return false; };
    p.ReadOnlyStrings(L"CurrentValues", [](const TRdSkinClass& s) { return s.CurrentValues(); }).stored =
        [](const TPersistent&) { return false; };
    p.Boolean(
        L"ClearOwnerPic", [](const TRdSkinClass& s) { return s.clearOwnerPic_; },
        [](TRdSkinClass& s, bool v) { s.SetClearOwnerPic(v); });
    p.Boolean(
        L"ForceUseSkinPic", [](const TRdSkinClass& s) { return s.forceUseSkinPic_; },
        [](TRdSkinClass& s, bool v) { s.SetForceUseSkinPic(v); });
    return c;
  }();
  return info;
}

TRdSkinClass::TRdSkinClass(SkinClassRegistry& registry, TPersistent* owner, TRdSkinClass* parent, TComponent* component)
    : registry_(registry),
      owner_(owner),
      component_(component),
      componentSettled_(false),
      parent_(parent),
      serial_(registry.NextSerial()) {
  if (parent_) parent_->children_.push_back(this);
}

TRdSkinClass::~TRdSkinClass() {
  registry_.Remove(this);
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  for (TRdSkinClass* child : children_) child->parent_ = nullptr;
}

std::wstring TRdSkinClass::EffectiveClassKey() const {
  if (!classKey_.empty() || !owner_) return classKey_;
  return owner_->ClassName();
}

TComponent* TRdSkinClass::Component() const {
  if (!componentSettled_) {
    componentSettled_ = true;
    if (auto* self = dynamic_cast<TComponent*>(owner_)) component_ = self;
  }
  return component_;
}

bool TRdSkinClass::ComponentBusy() const {
  TComponent* component = Component();
  if (!component) return false;
  const ComponentState& state = component->State();
  return state.loading || state.reading || state.updating;
}

void TRdSkinClass::Notify() {
  if (onChange) onChange();
}

void TRdSkinClass::ApplyWhenIdle() {
  if (ComponentBusy()) {
    Notify();
    return;
  }
  try {
    Apply(true);
  } catch (...) {
    Notify();
    throw;
  }
  Notify();
}

void TRdSkinClass::SetSkinClass(const std::wstring& name) {
  if (EqualsIgnoreCase(name, skinClass_)) {
    if (!Component() || Component()->State().reading) Notify();
    return;
  }
  skinClass_ = name;
  if (skinClass_.empty()) {
    registry_.Remove(this);
  } else {
    registry_.Add(this);
  }
  ApplyWhenIdle();
}

void TRdSkinClass::SetForceUseSkinPic(bool value) {
  forceUseSkinPic_ = value;
  if (value) ApplyWhenIdle();
}

void TRdSkinClass::SetClearOwnerPic(bool value) {
  clearOwnerPic_ = value;
  if (value && owner_) ClearStoredPictures(*owner_);
}

void TRdSkinClass::Apply(bool recursive) {
  skinValues_.clear();
  std::exception_ptr first;
  if (owner_ && !skinClass_.empty()) {
    if (auto lines = registry_.Store().SectionValues(EffectiveClassKey(), skinClass_)) {
      skinValues_ = std::move(*lines);

      ComponentState* state = Component() ? &Component()->State() : nullptr;
      const bool wasUpdating = state && state->updating;
      if (state) state->updating = true;
      auto* font = dynamic_cast<TRdFont*>(owner_);
      if (font) font->BeginUpdate();

      const PropertyContext context{&registry_.Store(), forceUseSkinPic_};
      for (const std::wstring& line : skinValues_) {
        const auto name = IniLineName(line);
        if (!name) continue;
        const std::wstring_view key = TrimView(*name);
        if (key.empty() || IsOrganisingKey(key) || Listed(ignoreValues_, key)) continue;
        try {
          SetPropertyPath(*owner_, key, TrimView(std::wstring_view(line).substr(name->size() + 1)), context);
        } catch (const EPropertyValueError&) {
          // One bad line must not cost the others: the rest still apply.
          if (!first) first = std::current_exception();
        }
      }

      if (font) font->EndUpdate();
      if (state) state->updating = wasUpdating;
    }
  }
  if (recursive) {
    const std::vector<TRdSkinClass*> children = children_;
    for (TRdSkinClass* child : children) {
      try {
        child->Apply(true);
      } catch (const EPropertyValueError&) {
        if (!first) first = std::current_exception();
      }
    }
  }
  if (first) std::rethrow_exception(first);
}

std::vector<std::wstring> TRdSkinClass::CurrentValues() const {
  if (!owner_ || (Component() && Component()->State().loading)) return {};
  // The property that holds this skin class is the binding itself, not a value.
  std::wstring self;
  for (const PropertyInfo* info : owner_->Class().Properties()) {
    if (info->kind == PropKind::Object && info->object(*owner_) == this) self = info->name;
  }
  const ColorTable* colors = &registry_.Store().Colors();
  std::vector<std::wstring> lines{L"class=" + EffectiveClassKey()};
  for (auto& line : WritePropertyLines(*owner_, colors, [&](const std::wstring& path) {
         if (!self.empty() && (EqualsIgnoreCase(path, self) ||
                               (path.size() > self.size() && path[self.size()] == L'.' &&
                                EqualsIgnoreCase(std::wstring_view(path).substr(0, self.size()), self)))) {
           return true;
         }
         return LeftOutOfCurrentValues(path);
       })) {
    lines.push_back(std::move(line));
  }
  return lines;
}

void TRdSkinClass::Assign(const TRdSkinClass& other) {
  if (&other == this) return;
  ignoreValues_ = other.ignoreValues_;
  SetSkinClass(other.skinClass_);
}

bool TRdSkinClass::SameAs(const TRdSkinClass& other) const {
  return &other == this || (EqualsIgnoreCase(skinClass_, other.skinClass_) && ignoreValues_ == other.ignoreValues_);
}

void ClearStoredPictures(TPersistent& object) {
  for (const PropertyInfo* info : object.Class().Properties()) {
    switch (info->kind) {
      case PropKind::Picture:
        // A picture the object does not store is not its own to clear.
        if (!info->IsStored(object)) break;
        if (TPicture* picture = info->picture(object)) picture->Clear();
        break;
      case PropKind::Object:
        if (!info->IsStored(object)) break;
        if (TPersistent* child = info->object(object)) ClearStoredPictures(*child);
        break;
      case PropKind::Collection: {
        const std::size_t count = info->count(object);
        for (std::size_t i = 0; i < count; ++i) {
          if (TPersistent* item = info->item(object, i)) ClearStoredPictures(*item);
        }
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace nudgelet::skin
