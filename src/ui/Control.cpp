#include "ui/Control.h"

#include <algorithm>

#include "base/Coordinates.h"
#include "base/Strings.h"
#include "ui/WinControl.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

const std::vector<std::wstring>& AlignNames() {
  static const std::vector<std::wstring> names{L"alNone", L"alTop", L"alBottom", L"alLeft", L"alRight", L"alClient"};
  return names;
}
const std::vector<std::wstring>& AlignmentNames() {
  static const std::vector<std::wstring> names{L"taLeftJustify", L"taRightJustify", L"taCenter"};
  return names;
}
const std::vector<std::wstring>& TextLayoutNames() {
  static const std::vector<std::wstring> names{L"tlTop", L"tlCenter", L"tlBottom"};
  return names;
}

const ClassInfo& TSizeConstraints::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TSizeConstraints", nullptr);
    Publisher<TSizeConstraints> p(c);
    auto field = [&](const wchar_t* name, int TSizeConstraints::*member) {
      p.Integer(
          name, [member](const TSizeConstraints& s) { return s.*member; },
          [member](TSizeConstraints& s, std::int64_t v) {
            s.*member = static_cast<int>(std::max<std::int64_t>(0, v));
            if (s.onChange) s.onChange();
          },
          0);
    };
    field(L"MaxHeight", &TSizeConstraints::maxHeight);
    field(L"MaxWidth", &TSizeConstraints::maxWidth);
    field(L"MinHeight", &TSizeConstraints::minHeight);
    field(L"MinWidth", &TSizeConstraints::minWidth);
    return c;
  }();
  return info;
}

int TSizeConstraints::ClampWidth(int w) const {
  if (maxWidth > 0) w = std::min(w, maxWidth);
  return std::max(w, minWidth);
}
int TSizeConstraints::ClampHeight(int h) const {
  if (maxHeight > 0) h = std::min(h, maxHeight);
  return std::max(h, minHeight);
}

const ClassInfo& TControl::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TControl", nullptr);
    Publisher<TControl> p(c);
    p.String(
        L"Name", [](const TControl& o) { return o.Name(); }, [](TControl& o, const std::wstring& v) { o.SetName(v); });
    p.Integer(
        L"Left", [](const TControl& o) { return o.Left(); }, [](TControl& o, std::int64_t v) { o.SetLeft(int(v)); });
    p.Integer(
        L"Top", [](const TControl& o) { return o.Top(); }, [](TControl& o, std::int64_t v) { o.SetTop(int(v)); });
    p.Integer(
        L"Width", [](const TControl& o) { return o.Width(); }, [](TControl& o, std::int64_t v) { o.SetWidth(int(v)); });
    p.Integer(
        L"Height", [](const TControl& o) { return o.Height(); },
        [](TControl& o, std::int64_t v) { o.SetHeight(int(v)); });
    p.Enumeration(
        L"Align", AlignNames(), [](const TControl& o) { return static_cast<int>(o.align_); },
        [](TControl& o, std::int64_t v) { o.SetAlign(static_cast<TAlign>(v)); });
    p.Set(
        L"Anchors", {L"akLeft", L"akTop", L"akRight", L"akBottom"}, [](const TControl& o) { return o.anchors_; },
        [](TControl& o, std::int64_t v) { o.SetAnchors(static_cast<unsigned>(v)); }, akLeft | akTop);
    p.Object(L"Constraints", [](TControl& o) { return &o.constraints_; });
    p.Boolean(
        L"Visible", [](const TControl& o) { return o.visible_; }, [](TControl& o, bool v) { o.SetVisible(v); }, true);
    p.Boolean(
        L"Enabled", [](const TControl& o) { return o.enabled_; }, [](TControl& o, bool v) { o.SetEnabled(v); }, true);
    p.String(
        L"Caption", [](const TControl& o) { return o.caption_; },
        [](TControl& o, const std::wstring& v) { o.SetCaption(v); });
    p.String(
        L"Hint", [](const TControl& o) { return o.hint_; }, [](TControl& o, const std::wstring& v) { o.SetHint(v); });
    p.Boolean(
        L"ShowHint", [](const TControl& o) { return o.showHint_; }, [](TControl& o, bool v) { o.SetShowHint(v); });
    p.Boolean(
        L"ParentShowHint", [](const TControl& o) { return o.parentShowHint_; },
        [](TControl& o, bool v) { o.SetParentShowHint(v); }, true);
    p.Color(
        L"Color", [](const TControl& o) { return o.color_; },
        [](TControl& o, std::int64_t v) { o.SetColor(skin::Color(v)); }, 0xFF00000F);
    p.Integer(
        L"Cursor", [](const TControl& o) { return o.cursor_; },
        [](TControl& o, std::int64_t v) { o.SetCursor(int(v)); }, 0);
    return c;
  }();
  return info;
}

TControl::TControl(UiContext& ui) : ui_(ui) {
  constraints_.onChange = [this] { SetBounds(Left(), Top(), Width(), Height()); };
}

TControl::~TControl() {
  destroying_ = true;
  ForgetFromRoot();
  DestroyChildren();
}

void TControl::DestroyChildren() {
  destroying_ = true;
  // Last first, while this control is still whole.
  while (!children_.empty()) children_.pop_back();
  components_.clear();
}

void TControl::ForgetFromRoot() {
  for (TControl* p = parent_; p; p = p->parent_) {
    if (p->destroying_) return;
    if (p->Windowed()) static_cast<TWinControl*>(p)->Root().Forget(*this);
  }
}

TControl& TControl::InsertControl(std::unique_ptr<TControl> child) {
  TControl& c = *child;
  c.parent_ = this;
  children_.push_back(std::move(child));
  if (skin::TRdFont* font = c.Font(); font && font->ParentLink() == nullptr && Font()) {
    font->LinkTo(Font(), true);
  }
  c.ParentChanged();
  if (c.align_ != TAlign::alNone) AlignControls(Width(), Height());
  c.Invalidate();
  return c;
}

std::unique_ptr<TControl> TControl::RemoveControl(TControl& child) {
  auto it = std::find_if(children_.begin(), children_.end(), [&](const auto& c) { return c.get() == &child; });
  if (it == children_.end()) return nullptr;
  child.Invalidate();
  child.ForgetFromRoot();
  std::unique_ptr<TControl> taken = std::move(*it);
  children_.erase(it);
  taken->parent_ = nullptr;
  if (skin::TRdFont* font = taken->Font(); font && font->ParentLink() == Font()) font->Unlink();
  return taken;
}

skin::TComponent& TControl::AddComponent(std::unique_ptr<skin::TComponent> component) {
  components_.push_back(std::move(component));
  return *components_.back();
}

skin::TComponent* TControl::FindComponent(std::wstring_view name) {
  if (EqualsIgnoreCase(Name(), name)) return this;
  for (auto& c : components_) {
    if (EqualsIgnoreCase(c->Name(), name)) return c.get();
  }
  for (auto& child : children_) {
    if (auto* found = child->FindComponent(name)) return found;
  }
  return nullptr;
}

TWinControl* TControl::Window() {
  for (TControl* p = this; p; p = p->parent_) {
    if (p->Windowed()) return static_cast<TWinControl*>(p);
  }
  return nullptr;
}

Point TControl::PositionInWindow() const {
  Point at;
  for (const TControl* p = this; p && !p->Windowed(); p = p->parent_) {
    at.x += p->Left();
    at.y += p->Top();
  }
  return at;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  left = ClampCoordinate(left);
  top = ClampCoordinate(top);
  width = std::clamp(constraints_.ClampWidth(width), 0, kMaxCoordinate);
  height = std::clamp(constraints_.ClampHeight(height), 0, kMaxCoordinate);
  const Rect old = bounds_;
  const Rect now{left, top, left + width, top + height};
  if (now == old) return;
  if (!Windowed()) Invalidate();
  bounds_ = now;
  if (!Windowed()) Invalidate();
  if (old.Width() != width || old.Height() != height) {
    AlignControls(old.Width(), old.Height());
    Resized();
    if (onResize && !Loading()) onResize(*this);
  }
  if (old.left != left || old.top != top) Moved();
  if (parent_ && align_ != TAlign::alNone && !parent_->aligning_)
    parent_->AlignControls(parent_->Width(), parent_->Height());
}

void TControl::SetAlign(TAlign align) {
  if (align_ == align) return;
  align_ = align;
  if (parent_) parent_->AlignControls(parent_->Width(), parent_->Height());
}

void TControl::AlignControls(int oldWidth, int oldHeight) {
  if (aligning_ || Loading()) return;
  aligning_ = true;
  Rect space = ClientRect();
  const int dw = Width() - oldWidth, dh = Height() - oldHeight;
  // Anchored children first: they keep their distances to the edges they hold.
  for (auto& c : children_) {
    if (c->align_ != TAlign::alNone || (dw == 0 && dh == 0)) continue;
    Rect b = c->bounds_;
    const unsigned a = c->anchors_;
    if (a & akRight) {
      if (a & akLeft) b.right += dw;
      else b.left += dw, b.right += dw;
    }
    if (a & akBottom) {
      if (a & akTop) b.bottom += dh;
      else b.top += dh, b.bottom += dh;
    }
    if (!(b == c->bounds_)) c->SetBounds(b.left, b.top, b.Width(), b.Height());
  }
  // Then the aligned ones in the toolkit's order: top, bottom, left, right, client.
  for (TAlign kind : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    for (auto& c : children_) {
      if (c->align_ != kind || !c->visible_) continue;
      switch (kind) {
        case TAlign::alTop:
          c->SetBounds(space.left, space.top, space.Width(), c->Height());
          space.top += c->Height();
          break;
        case TAlign::alBottom:
          c->SetBounds(space.left, space.bottom - c->Height(), space.Width(), c->Height());
          space.bottom -= c->Height();
          break;
        case TAlign::alLeft:
          c->SetBounds(space.left, space.top, c->Width(), space.Height());
          space.left += c->Width();
          break;
        case TAlign::alRight:
          c->SetBounds(space.right - c->Width(), space.top, c->Width(), space.Height());
          space.right -= c->Width();
          break;
        default:
          c->SetBounds(space.left, space.top, space.Width(), space.Height());
          break;
      }
    }
  }
  aligning_ = false;
}

void TControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  if (!visible) Invalidate();
  visible_ = visible;
  if (visible) Invalidate();
  if (!visible) ForgetFromRoot();
  if (parent_ && align_ != TAlign::alNone) parent_->AlignControls(parent_->Width(), parent_->Height());
  VisibleChanged();
}

bool TControl::Showing() const {
  for (const TControl* p = this; p; p = p->parent_) {
    if (!p->visible_) return false;
  }
  return true;
}

void TControl::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  EnabledChanged();
}

void TControl::SetCaption(const std::wstring& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  TextChanged();
}

bool TControl::EffectiveShowHint() const {
  for (const TControl* p = this; p; p = p->parent_) {
    if (!p->parentShowHint_ || !p->parent_) return p->showHint_;
  }
  return false;
}

void TControl::SetShowHint(bool value) {
  showHint_ = value;
  parentShowHint_ = false;
}

void TControl::SetColor(skin::Color color) {
  if (color_ == color) return;
  color_ = color;
  Invalidate();
}

bool TControl::ParentFont() const {
  const skin::TRdFont* font = Font();
  return font && font->ParentFont();
}

void TControl::SetParentFont(bool value) {
  skin::TRdFont* font = Font();
  if (!font) return;
  if (value && !font->ParentLink() && parent_ && parent_->Font()) font->LinkTo(parent_->Font(), true);
  font->SetParentFont(value);
}

void TControl::AdoptFont(skin::TRdFont& font) {
  font.onChange = [this] {
    if (!destroying_) FontChanged();
  };
}

void TControl::Invalidate() { InvalidateRect(ClientRect()); }

void TControl::InvalidateRect(const Rect& local) {
  if (destroying_ || !Showing()) return;
  TWinControl* window = Window();
  if (!window) return;
  const Point at = PositionInWindow();
  Rect area = Offset(local, at.x, at.y);
  if (!Windowed()) area = Intersect(area, Offset(ClientRect(), at.x, at.y));
  area = Intersect(area, window->ClientRect());
  if (!area.Empty()) window->InvalidateWindow(area);
}

void TControl::MouseDown(MouseButton button, unsigned shift, int x, int y) {
  if (onMouseDown) onMouseDown(*this, button, shift, x, y);
}
void TControl::MouseUp(MouseButton button, unsigned shift, int x, int y) {
  if (onMouseUp) onMouseUp(*this, button, shift, x, y);
}
void TControl::MouseMove(unsigned shift, int x, int y) {
  if (onMouseMove) onMouseMove(*this, shift, x, y);
}
void TControl::MouseEnter() {
  if (onMouseEnter) onMouseEnter(*this);
}
void TControl::MouseLeave() {
  if (onMouseLeave) onMouseLeave(*this);
}
void TControl::Click() {
  if (onClick) onClick(*this);
}
void TControl::DblClick() {
  if (onDblClick) onDblClick(*this);
}
bool TControl::MouseWheel(int, unsigned, int, int) { return false; }
bool TControl::KeyDown(unsigned, unsigned) { return false; }

bool TControl::HintAt(int, int, std::wstring& hint) {
  if (!EffectiveShowHint()) return false;
  hint = hint_;
  bool canShow = true;
  if (onShowHint) onShowHint(*this, hint, canShow);
  return canShow && !hint.empty();
}

void TControl::Loaded() {
  State().loading = false;
  AlignControls(Width(), Height());
}

bool TControl::BindEvent(std::wstring_view event, const TNotifyEvent& handler) {
  if (EqualsIgnoreCase(event, L"OnClick")) return onClick = handler, true;
  if (EqualsIgnoreCase(event, L"OnDblClick")) return onDblClick = handler, true;
  if (EqualsIgnoreCase(event, L"OnMouseEnter")) return onMouseEnter = handler, true;
  if (EqualsIgnoreCase(event, L"OnMouseLeave")) return onMouseLeave = handler, true;
  if (EqualsIgnoreCase(event, L"OnResize")) return onResize = handler, true;
  // Form text names plain handlers; one that only needs its sender may take a mouse press.
  if (EqualsIgnoreCase(event, L"OnMouseDown")) {
    onMouseDown = [handler](TControl& sender, MouseButton, unsigned, int, int) { handler(sender); };
    return true;
  }
  return false;
}

}  // namespace nudgelet::ui
