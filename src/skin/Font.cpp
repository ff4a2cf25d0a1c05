#include "skin/Font.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "base/Strings.h"

namespace nudgelet::skin {

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const std::int64_t product = std::int64_t{number} * numerator;
  const std::int64_t magnitude = (std::llabs(product) + std::llabs(denominator) / 2) / std::llabs(denominator);
  const std::int64_t result = (product < 0) != (denominator < 0) ? -magnitude : magnitude;
  if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(result);
}

namespace {

const std::vector<std::wstring>& StyleNames() {
  static const std::vector<std::wstring> names{L"fsBold", L"fsItalic", L"fsUnderline", L"fsStrikeOut"};
  return names;
}

}  // namespace

// --- TFont ---

TFont::TFont() = default;

TFont::~TFont() {
  for (TRdFont* follower : followers_) follower->parent_ = nullptr;
}

const ClassInfo& TFont::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TFont", nullptr);
    Publisher<TFont> p(c);
    p.Integer(
        L"Charset", [](const TFont& f) { return f.charset_; },
        [](TFont& f, std::int64_t v) { f.SetCharset(static_cast<int>(v)); });
    p.Color(
        L"Color", [](const TFont& f) { return f.color_; },
        [](TFont& f, std::int64_t v) { f.SetColor(static_cast<Color>(v)); });
    p.Integer(
        L"Height", [](const TFont& f) { return f.height_; },
        [](TFont& f, std::int64_t v) { f.SetHeight(static_cast<int>(v)); });
    p.String(
        L"Name", [](const TFont& f) { return f.name_; }, [](TFont& f, const std::wstring& v) { f.SetName(v); });
    p.Set(
        L"Style", StyleNames(), [](const TFont& f) { return f.style_; },
        [](TFont& f, std::int64_t v) { f.SetStyle(static_cast<unsigned>(v)); });
    p.Integer(
         L"Size", [](const TFont& f) { return f.Size(); },
         [](TFont& f, std::int64_t v) { f.SetSize(static_cast<int>(v)); })
        .stored = [](const TPersistent&) { return false; };  // Height says it
    return c;
  }();
  return info;
}

void TFont::SetCharset(int value) { Assign(kCharset, charset_, value); }
void TFont::SetColor(Color value) { Assign(kColor, color_, value); }
void TFont::SetHeight(int value) { Assign(kHeight, height_, value); }
void TFont::SetName(const std::wstring& value) { Assign(kName, name_, value); }
void TFont::SetStyle(unsigned value) { Assign(kStyle, style_, value & 15u); }

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::Changed() {
  if (onChange) onChange();
  NotifyFollowers();
}

void TFont::NotifyFollowers() {
  // A follower may unlink itself while it copies.
  const std::vector<TRdFont*> followers = followers_;
  for (TRdFont* follower : followers) {
    if (std::find(followers_.begin(), followers_.end(), follower) != followers_.end()) follower->CopyFromParent();
  }
}

// --- TRdFont ---

TRdFont::TRdFont(SkinClassRegistry& registry, TComponent* component, TRdSkinClass* parentSkinClass)
    : component_(component), allSkin_(registry, this, parentSkinClass, component) {
  own_.fill(true);
  allSkin_.SetClassKey(L"font");
  allSkin_.onChange = [this] {
    if (!copying_) own_[kSkinClass] = true;
  };
}

TRdFont::~TRdFont() {
  allSkin_.onChange = nullptr;
  if (parent_) {
    auto& followers = parent_->followers_;
    followers.erase(std::remove(followers.begin(), followers.end(), this), followers.end());
  }
}

const ClassInfo& TRdFont::ClassType() {
  static const ClassInfo info = [] {
    // Every property declared again: the order differs from a plain font's,
    // and what is stored follows the own-value flags.
    ClassInfo c(L"TRdFont", &TFont::ClassType());
    Publisher<TRdFont> p(c);
    auto ownField = [](Field field) {
      return [field](const TPersistent& o) { return static_cast<const TRdFont&>(o).own_[field]; };
    };
    p.Boolean(
         L"ParentFont", [](const TRdFont& f) { return f.ParentFont(); }, [](TRdFont& f, bool v) { f.SetParentFont(v); })
        .stored = [](const TPersistent&) { return false; };
    p.Integer(
         L"Charset", [](const TRdFont& f) { return f.charset_; },
         [](TRdFont& f, std::int64_t v) { f.SetCharset(static_cast<int>(v)); })
        .stored = ownField(kCharset);
    p.Color(
         L"Color", [](const TRdFont& f) { return f.color_; },
         [](TRdFont& f, std::int64_t v) { f.SetColor(static_cast<Color>(v)); })
        .stored = ownField(kColor);
    p.Integer(
         L"Height", [](const TRdFont& f) { return f.height_; },
         [](TRdFont& f, std::int64_t v) { f.SetHeight(static_cast<int>(v)); })
        .stored = ownField(kHeight);
    p.String(
         L"Name", [](const TRdFont& f) { return f.name_; }, [](TRdFont& f, const std::wstring& v) { f.SetName(v); })
        .stored = ownField(kName);
    p.Set(
         L"Style", StyleNames(), [](const TRdFont& f) { return f.style_; },
         [](TRdFont& f, std::int64_t v) { f.SetStyle(static_cast<unsigned>(v)); })
        .stored = ownField(kStyle);
    p.Integer(
         L"Size", [](const TRdFont& f) { return f.Size(); },
         [](TRdFont& f, std::int64_t v) { f.SetSize(static_cast<int>(v)); })
        .stored = [](const TPersistent&) { return false; };
    p.Boolean(
         L"Antialiased", [](const TRdFont& f) { return f.antialiased_; },
         [](TRdFont& f, bool v) { f.SetAntialiased(v); })
        .stored = [](const TPersistent& o) {
      const auto& f = static_cast<const TRdFont&>(o);
      return f.parent_ ? f.own_[kAntialias] : f.antialiased_;
    };
    p.Object(L"AllSkin", [](TRdFont& f) { return &f.allSkin_; }).stored = [](const TPersistent& o) {
      const auto& f = static_cast<const TRdFont&>(o);
      if (f.parent_) return f.own_[kSkinClass];
      return !f.allSkin_.SkinClass().empty() || !f.allSkin_.IgnoreValues().empty();
    };
    return c;
  }();
  return info;
}

void TRdFont::SetAllOwn(bool own) {
  own_.fill(own);
  // A plain parent font has neither antialiasing nor a skin class to follow.
  if (!own && !dynamic_cast<TRdFont*>(parent_)) own_[kAntialias] = own_[kSkinClass] = true;
}

void TRdFont::LinkTo(TFont* parent, bool copyNow) {
  if (parent == this) return;
  if (parent_ != parent) {
    Unlink();
    if (!parent) return;
    parent_ = parent;
    parent_->followers_.push_back(this);
  }
  if (!everLinked_) {
    everLinked_ = true;
    styleBeforeLink_ = style_;
  }
  SetAllOwn(false);
  if (copyNow) CopyFromParent();
}

void TRdFont::Unlink() {
  if (parent_) {
    auto& followers = parent_->followers_;
    followers.erase(std::remove(followers.begin(), followers.end(), this), followers.end());
    parent_ = nullptr;
  }
  own_.fill(true);
}

void TRdFont::CopyFromParent() {
  if (!parent_) return;
  BeginUpdate();
  auto copy = [this](Field field, auto& member, const auto& value) {
    if (own_[field] || member == value) return;
    member = value;
    Changed();
  };
  copy(kCharset, charset_, parent_->charset_);
  copy(kColor, color_, parent_->color_);
  copy(kHeight, height_, parent_->height_);
  copy(kName, name_, parent_->name_);
  copy(kStyle, style_, parent_->style_);
  if (const auto* rd = dynamic_cast<const TRdFont*>(parent_)) {
    if (!own_[kAntialias] && antialiased_ != rd->antialiased_) {
      antialiased_ = rd->antialiased_;
      faceStale_ = true;
      Changed();
    }
    if (!own_[kSkinClass] && !allSkin_.SameAs(rd->allSkin_)) {
      copying_ = true;
      try {
        allSkin_.Assign(rd->allSkin_);
      } catch (...) {
        copying_ = false;
        EndUpdate();
        throw;
      }
      copying_ = false;
    }
  }
  EndUpdate();
}

bool TRdFont::ParentFont() const {
  return dynamic_cast<const TRdFont*>(parent_) && std::none_of(own_.begin(), own_.end(), [](bool own) { return own; });
}

void TRdFont::SetParentFont(bool value) {
  if (!value) {
    own_.fill(true);
    return;
  }
  if (!parent_) return;
  SetAllOwn(false);
  CopyFromParent();
}

bool TRdFont::FollowsParentSkinClass() const {
  return !own_[kSkinClass] && dynamic_cast<const TRdFont*>(parent_) != nullptr;
}

void TRdFont::SetAntialiased(bool value) {
  Assigning(kAntialias, value == antialiased_);
  if (value == antialiased_) return;
  antialiased_ = value;
  faceStale_ = true;
  Changed();
}

void TRdFont::Assigning(Field field, bool same) {
  // Setting what the font already has is no decision of its own, unless it
  // is stored form data saying so.
  if (same && component_ && !component_->State().reading) return;
  own_[field] = true;
}

void TRdFont::Changed() {
  if (updateCount_ > 0) {
    ++pendingChanges_;
    return;
  }
  if (faceStale_) {
    faceStale_ = false;
    ++faceGeneration_;
  }
  TFont::Changed();
}

void TRdFont::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  if (pendingChanges_ == 0) return;
  pendingChanges_ = 0;
  Changed();
}

void TRdFont::PathPropertySet(const PropertyInfo& info) {
  if (EqualsIgnoreCase(info.name, L"Height") || EqualsIgnoreCase(info.name, L"Size")) baseHeight_ = height_;
}

FontDescription TRdFont::Describe() const {
  return FontDescription{height_, name_, style_, charset_, antialiased_ ? 4 : 0};
}

}  // namespace nudgelet::skin
