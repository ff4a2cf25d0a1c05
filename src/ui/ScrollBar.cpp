#include "ui/ScrollBar.h"

#include <algorithm>

#include "base/Coordinates.h"
#include "base/Strings.h"
#include "skin/PropertyPath.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

namespace {

constexpr unsigned kRepeatInterval = 50;
constexpr Rect kNoRect{-1, -1, -1, -1};
constexpr skin::Color kClBtnFace = 0xFF00000F, kClBtnShadow = 0xFF000010, kClBtnText = 0xFF000012,
                      kClBtnHighlight = 0xFF000014;

// numerator ÷ denominator to the nearest integer, halves to the even one.
int RoundHalfEven(long long numerator, long long denominator) {
  if (denominator == 0) return 0;
  if (denominator < 0) numerator = -numerator, denominator = -denominator;
  long long q = numerator / denominator, r = numerator % denominator;
  if (r < 0) r += denominator, --q;
  if (2 * r > denominator || (2 * r == denominator && (q & 1))) ++q;
  return static_cast<int>(q);
}

}  // namespace

void TRdBitmap::SetSize(int width, int height) {
  width = std::max(0, width), height = std::max(0, height);
  if (width == width_ && height == height_) return;
  bitmap_ = Bitmap();  // the old pixels go before the new ones are taken
  width_ = width, height_ = height;
  bitmap_ = Bitmap(width, height);
}

// --- The picture set ---

const ClassInfo& TRdScrollBarImages::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdScrollBarImages", nullptr);
    Publisher<TRdScrollBarImages> p(c);
    using I = TRdScrollBarImages;
    const wchar_t* names[] = {L"BtnLeft",        L"BtnLeftHot",     L"BtnRight",      L"BtnRightHot", L"ScrollBgTop",
                              L"ScrollBg",       L"ScrollBgBottom", L"TrackTop",      L"TrackTopHot", L"TrackCenter",
                              L"TrackCenterHot", L"TrackBottom",    L"TrackBottomHot"};
    for (int i = 0; i < kScrollBarPictureCount; ++i) p.Picture(names[i], [i](I& o) { return &o.pictures_[i]; });
    p.Object(L"ScrollBg_Option", [](I& o) { return &o.scrollBgOption_; });
    p.Object(L"Track_Option", [](I& o) { return &o.trackOption_; });
    auto flag = [&](const wchar_t* name, bool (TRdScrollBarEx::*get)() const, void (TRdScrollBarEx::*set)(bool),
                    bool def) {
      p.Boolean(
           name, [get](const I& o) { return (o.owner_.*get)(); }, [set](I& o, bool v) { (o.owner_.*set)(v); }, def)
          .stored = [](const skin::TPersistent&) { return false; };  // the bar stores them
    };
    flag(L"AutoArrow", &TRdScrollBarEx::AutoArrow, &TRdScrollBarEx::SetAutoArrow, true);
    flag(L"AllowArrow", &TRdScrollBarEx::AllowArrow, &TRdScrollBarEx::SetAllowArrow, true);
    flag(L"AutoSize", &TRdScrollBarEx::AutoSize, &TRdScrollBarEx::SetAutoSize, true);
    flag(L"AutoHide", &TRdScrollBarEx::AutoHide, &TRdScrollBarEx::SetAutoHide, false);
    flag(L"AutoCenter", &TRdScrollBarEx::AutoCenter, &TRdScrollBarEx::SetAutoCenter, true);
    auto text = [](I& o) {
      std::wstring all;
      for (const auto& line : o.PropertyCopy()) all += line + L"\r\n";
      return all;
    };
    p.String(
         L"PropertyCopy", [text](const I& o) { return text(const_cast<I&>(o)); }, nullptr)
        .stored = [](const skin::TPersistent&) { return false; };
    p.String(
         L"PropertyPaste", [](const I&) { return std::wstring(); }, nullptr)
        .stored = [](const skin::TPersistent&) { return false; };
    return c;
  }();
  return info;
}

TRdScrollBarImages::TRdScrollBarImages(TRdScrollBarEx& owner) : owner_(owner) {
  for (auto& picture : pictures_) picture.onChange = [this] { owner_.PicturesChanged(); };
  auto fillIn = [this](skin::TDesignRectProperty& option, TScrollBarPicture sliced) {
    skin::TDesignRect margins = option.Value();
    margins.left = margins.right = PictureWidth(sliced) / 3;
    margins.top = margins.bottom = PictureHeight(sliced) / 3;
    option.Assign(margins);
    owner_.PicturesChanged();
  };
  scrollBgOption_.onFillIn = [this, fillIn] { fillIn(scrollBgOption_, kScrollBg); };
  trackOption_.onFillIn = [this, fillIn] { fillIn(trackOption_, kTrackCenter); };
  scrollBgOption_.onChange = [this](const skin::TDesignRect&) { owner_.PicturesChanged(); };
  trackOption_.onChange = [this](const skin::TDesignRect&) { owner_.PicturesChanged(); };
}

int TRdScrollBarImages::PictureWidth(TScrollBarPicture index) {
  skin::TRdGraphic* g = pictures_[index].Graphic();
  return g ? g->Width() : 0;
}
int TRdScrollBarImages::PictureHeight(TScrollBarPicture index) {
  skin::TRdGraphic* g = pictures_[index].Graphic();
  return g ? g->Height() : 0;
}

std::vector<std::wstring> TRdScrollBarImages::PropertyCopy() {
  return skin::WritePropertyLines(*this, nullptr, nullptr);
}

// --- The bar ---

const ClassInfo& TRdScrollBarEx::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdScrollBarEx", &TRdGraphicControl::ClassType());
    Publisher<TRdScrollBarEx> p(c);
    using S = TRdScrollBarEx;
    p.Enumeration(
        L"Kind", {L"sbHorizontal", L"sbVertical"}, [](const S& o) { return static_cast<int>(o.kind_); },
        [](S& o, std::int64_t v) { o.SetKind(static_cast<TScrollBarKind>(v)); }, 1);
    p.Integer(
        L"Min", [](const S& o) { return o.min_; }, [](S& o, std::int64_t v) { o.SetMin(int(v)); }, 0);
    p.Integer(
        L"Max", [](const S& o) { return o.max_; }, [](S& o, std::int64_t v) { o.SetMax(int(v)); }, 100);
    p.Integer(
        L"PageSize", [](const S& o) { return o.pageSize_; }, [](S& o, std::int64_t v) { o.SetPageSize(int(v)); }, 0);
    p.Integer(
        L"Position", [](const S& o) { return o.position_; }, [](S& o, std::int64_t v) { o.SetPosition(int(v)); }, 0);
    p.Integer(
        L"SmallChange", [](const S& o) { return o.smallChange_; },
        [](S& o, std::int64_t v) { o.SetSmallChange(int(v)); }, 0);
    p.Integer(
        L"LargeChange", [](const S& o) { return o.largeChange_; },
        [](S& o, std::int64_t v) { o.SetLargeChange(int(v)); }, 0);
    p.Integer(
        L"WaitInterval", [](const S& o) { return o.waitInterval; },
        [](S& o, std::int64_t v) { o.waitInterval = static_cast<unsigned>(std::max<std::int64_t>(0, v)); }, 500);
    p.Boolean(
        L"AllowArrow", [](const S& o) { return o.allowArrow_; }, [](S& o, bool v) { o.SetAllowArrow(v); }, true);
    p.Boolean(
        L"AutoArrow", [](const S& o) { return o.autoArrow_; }, [](S& o, bool v) { o.SetAutoArrow(v); }, true);
    p.Boolean(
        L"AutoSize", [](const S& o) { return o.autoSize_; }, [](S& o, bool v) { o.SetAutoSize(v); }, true);
    p.Boolean(
        L"AutoHide", [](const S& o) { return o.autoHide_; }, [](S& o, bool v) { o.SetAutoHide(v); }, false);
    p.Boolean(
        L"AutoCenter", [](const S& o) { return o.autoCenter_; }, [](S& o, bool v) { o.SetAutoCenter(v); }, true);
    p.Boolean(
        L"OwnerDraw", [](const S& o) { return o.ownerDraw; }, [](S& o, bool v) { o.ownerDraw = v, o.Invalidate(); });
    p.Object(L"AllSkinImage", [](S& o) { return &o.images_; });
    p.Color(
        L"Color", [](const S& o) { return o.GetColor(); }, [](S& o, std::int64_t v) { o.SetColor(skin::Color(v)); },
        skin::kClNone);
    return c;
  }();
  return info;
}

TRdScrollBarEx::TRdScrollBarEx(UiContext& ui) : TRdGraphicControl(ui), images_(*this), repeat_(ui.timers) {
  SetColor(skin::kClNone);
  const auto [w, h] = DefaultArrowSize();
  SetBounds(0, 0, w, 121);
  (void)h;
  Layout();
}

TRdScrollBarEx::~TRdScrollBarEx() {
  repeat_.Stop();
  DestroyChildren();
}

std::pair<int, int> TRdScrollBarEx::DefaultArrowSize() const {
  const SystemMetrics& m = Ui().metrics;
  return Vertical() ? std::pair{m.scrollArrowWidth, m.scrollArrowHeight}
                    : std::pair{m.hScrollArrowWidth, m.hScrollArrowHeight};
}

void TRdScrollBarEx::SetKind(TScrollBarKind kind) {
  if (kind_ == kind) return;
  kind_ = kind;
  const auto [w, h] = DefaultArrowSize();
  if (!Loading()) {
    // The bar turns: its length stays, its thickness is the system's for the new direction.
    const int length = std::max(Width(), Height());
    if (Vertical()) {
      SetBounds(Left(), Top(), w, length);
    } else {
      SetBounds(Left(), Top(), length, h);
    }
    if (host_) host_->SetBounds(host_->Left(), host_->Top(), Width(), Height());
    ApplyThickness();
  }
  PicturesChanged();
}

int TRdScrollBarEx::MaxPosition() const { return pageSize_ > 0 ? std::max(min_, max_ - pageSize_ + 1) : max_; }

void TRdScrollBarEx::SetMin(int value) { SetParams(value, std::max(value, max_), pageSize_, position_, false, false); }
void TRdScrollBarEx::SetMax(int value) { SetParams(min_, value, pageSize_, position_, false, false); }
void TRdScrollBarEx::SetPageSize(int value) {
  if (value < 0) return;
  SetParams(min_, max_, value, position_, false, false);
}
void TRdScrollBarEx::SetSmallChange(int value) { smallChange_ = std::clamp(value, 0, 32767); }
void TRdScrollBarEx::SetLargeChange(int value) { largeChange_ = std::clamp(value, 0, 32767); }

int TRdScrollBarEx::SmallStep() const {
  if (smallChange_ > 0) return smallChange_;
  return pageSize_ >= 1 ? std::max(1, pageSize_ * 9 / 10 / 10) : std::max(1, (max_ - min_) / 30);
}

int TRdScrollBarEx::LargeStep() const {
  if (largeChange_ > 0) return largeChange_;
  return pageSize_ >= 1 ? std::max(4, pageSize_ * 9 / 10) : std::max(1, (max_ - min_) / 10);
}

void TRdScrollBarEx::SetParams(int min, int max, int pageSize, int position, bool repaint, bool quiet) {
  // Positions are pixels of what scrolls: bounded like any coordinate, the
  // range and step arithmetic cannot overflow.
  min = ClampCoordinate(min);
  max = std::max(ClampCoordinate(max), min);
  pageSize = std::clamp(pageSize, 0, kMaxCoordinate);
  const bool changed = min != min_ || max != max_ || pageSize != pageSize_;
  min_ = min, max_ = max, pageSize_ = pageSize;
  const int clamped = std::clamp(position, min_, MaxPosition());
  const bool moved = clamped != position_;
  position_ = clamped;
  if (quiet) return;
  UpdateEnabled();
  if (changed || moved) {
    if (!Dragging()) Layout();
    if (repaint || !Dragging()) Invalidate();
    if (moved && !Loading() && onChange) onChange(*this);
  }
}

void TRdScrollBarEx::SetPosition(int value) {
  const int clamped = std::clamp(value, min_, MaxPosition());
  if (clamped == position_) return;
  position_ = clamped;
  if (Loading()) return;
  if (!Dragging()) {
    Layout();
    Invalidate();
  }
  if (onChange) onChange(*this);
}

void TRdScrollBarEx::SetPositionQuiet(int position, bool redraw) {
  position_ = std::clamp(position, min_, MaxPosition());
  if (redraw) {
    Layout();
    Invalidate();
  }
}

void TRdScrollBarEx::ScrollBy(TScrollMode mode, bool startOfChange, int code, int amount) {
  const int target = mode == TScrollMode::smAdd ? position_ + amount : position_ - amount;
  const int clamped = std::clamp(target, min_, MaxPosition());
  if (clamped == position_) return;
  const int change = std::abs(clamped - position_);
  position_ = clamped;
  startOfChange_ = startOfChange;
  Changed(true, code, mode, change);
}

void TRdScrollBarEx::Changed(bool scrolled, int code, TScrollMode mode, int change) {
  if (!Dragging()) {
    Layout();
    Invalidate();
  }
  if (scrolled && onScroll) onScroll(*this, startOfChange_, code, mode, change);
  if (onChange) onChange(*this);
}

void TRdScrollBarEx::UpdateEnabled() {
  SetEnabled(max_ - min_ >= pageSize_);
  if (autoHide_) SetVisible(Enabled());
}

void TRdScrollBarEx::SetAutoHide(bool value) {
  if (autoHide_ == value) return;
  autoHide_ = value;
  if (value) {
    SetVisible(Enabled());
  } else if (!value) {
    SetVisible(true);
  }
}

void TRdScrollBarEx::SetFlag(bool& flag, bool value) {
  if (flag == value) return;
  flag = value;
  PicturesChanged();
}

void TRdScrollBarEx::EnabledChanged() {
  if (!Enabled()) {
    pressed_ = hot_ = spNone;
    StopRepeat();
  }
  if (autoHide_) SetVisible(Enabled());
  if (onEnabledChange) onEnabledChange(*this);
  if (host_ && !mirroring_) {
    mirroring_ = true;
    host_->SetEnabled(Enabled());
    mirroring_ = false;
  }
  Layout();
  Invalidate();
}

void TRdScrollBarEx::VisibleChanged() {
  if (host_ && !mirroring_) {
    mirroring_ = true;
    host_->SetVisible(Visible());
    mirroring_ = false;
  }
}

void TRdScrollBarEx::PicturesChanged() {
  if (Loading() || Destroying()) return;
  ApplyThickness();
  Layout();
  Invalidate();
}

void TRdScrollBarEx::SetBounds(int left, int top, int width, int height) {
  // A size no screen could show is a mistake, not a wish: nothing is drawn.
  const SystemMetrics& m = Ui().metrics;
  if (width < 0 || width > 2 * m.screenWidth) width = 0;
  if (height < 0 || height > 2 * m.screenHeight) height = 0;
  TRdGraphicControl::SetBounds(left, top, width, height);
}

void TRdScrollBarEx::Resized() { Layout(); }

void TRdScrollBarEx::Loaded() {
  TRdGraphicControl::Loaded();
  UpdateEnabled();
  ApplyThickness();
  Layout();
}

// --- Layout ---

std::pair<int, int> TRdScrollBarEx::ArrowSize(bool start) {
  if (!allowArrow_) return {0, 0};
  const TScrollBarPicture picture = start ? kBtnLeft : kBtnRight;
  const int w = images_.PictureWidth(picture), h = images_.PictureHeight(picture);
  const bool has = w > 0 && h > 0;
  if (autoSize_) {
    if (has) return {w, h};
    return autoArrow_ ? std::pair{0, 0} : DefaultArrowSize();
  }
  if (autoArrow_ && !has) return {0, 0};
  return DefaultArrowSize();
}

int TRdScrollBarEx::Thickness() {
  auto across = [&](TScrollBarPicture p) { return Vertical() ? images_.PictureWidth(p) : images_.PictureHeight(p); };
  int thickness = std::max(across(kScrollBg), across(kTrackCenter));
  for (bool start : {true, false}) {
    const auto [w, h] = ArrowSize(start);
    if (w > 0 && h > 0) thickness = std::max(thickness, Vertical() ? w : h);
  }
  if (thickness < 1) thickness = Vertical() ? DefaultArrowSize().first : DefaultArrowSize().second;
  return thickness;
}

void TRdScrollBarEx::ApplyThickness() {
  if (!autoSize_ || Loading()) return;
  const int t = Thickness();
  if (host_) {
    if (Vertical()) {
      host_->SetWidth(t);
    } else {
      host_->SetHeight(t);
    }
    return;
  }
  if (Vertical()) {
    SetWidth(t);
  } else {
    SetHeight(t);
  }
}

int TRdScrollBarEx::MinThumbLength() {
  const int system = std::min(Ui().metrics.verticalThumbHeight, 21);
  auto along = [&](TScrollBarPicture p) { return Vertical() ? images_.PictureHeight(p) : images_.PictureWidth(p); };
  const int pictures = along(kTrackTop) + along(kTrackCenter) + along(kTrackBottom);
  return pictures == 0 ? system : std::max(pictures, system);
}

Rect TRdScrollBarEx::Span(int from, int to, int acrossFrom, int acrossTo) const {
  return Vertical() ? Rect{acrossFrom, from, acrossTo, to} : Rect{from, acrossFrom, to, acrossTo};
}

void TRdScrollBarEx::Layout() {
  const int length = Length(), across = Across();
  const auto [sw, sh] = ArrowSize(true);
  const auto [ew, eh] = ArrowSize(false);
  const int startLen = Vertical() ? sh : sw, endLen = Vertical() ? eh : ew;
  // Centred, an arrow is as wide as its picture, whatever length it was given.
  auto arrowAcross = [&](TScrollBarPicture p) -> std::pair<int, int> {
    const int pictureAcross = Vertical() ? images_.PictureWidth(p) : images_.PictureHeight(p);
    if (autoCenter_ && pictureAcross > 0) {
      const int from = (across - pictureAcross) / 2;
      return {from, from + pictureAcross};
    }
    return {0, across};
  };
  const auto [sa0, sa1] = arrowAcross(kBtnLeft);
  const auto [ea0, ea1] = arrowAcross(kBtnRight);
  parts_[spLeftBtn] = Span(0, startLen, sa0, sa1);
  parts_[spRightBtn] = Span(length - endLen, length, ea0, ea1);
  const int trackStart = startLen, trackEnd = length - endLen;
  const int trackArea = trackEnd - trackStart;
  const int minThumb = MinThumbLength();
  const int span = max_ - min_ + 1;
  if (pageSize_ == 0) {
    thumbLength_ = minThumb;
  } else if (!Enabled() || span <= pageSize_) {
    thumbLength_ = 0;
  } else {
    thumbLength_ = std::max(minThumb, RoundHalfEven(static_cast<long long>(trackArea) * pageSize_, span));
  }
  if (thumbLength_ > 0 && thumbLength_ + startLen + endLen < length) {
    const int range = std::min(max_ - min_, max_ - min_ - pageSize_ + 1);
    const int offset =
        range < 1 ? 0
                  : RoundHalfEven(static_cast<long long>(trackArea - thumbLength_) * std::min(position_ - min_, range),
                                  range);
    int acrossTo = across;
    if (acrossTo < 0 || acrossTo > 2 * (Vertical() ? Ui().metrics.screenWidth : Ui().metrics.screenHeight))
      acrossTo = 0;
    parts_[spTrack] = Span(trackStart + offset, trackStart + offset + thumbLength_, 0, acrossTo);
    parts_[spLeftSpace] = Span(trackStart, trackStart + offset, 0, across);
    parts_[spRightSpace] = Span(trackStart + offset + thumbLength_, trackEnd, 0, across);
  } else {
    parts_[spTrack] = kNoRect;
    parts_[spLeftSpace] = kNoRect;
    parts_[spRightSpace] = trackEnd > trackStart ? Span(trackStart, trackEnd, 0, across) : kNoRect;
  }
}

TScrollBarPos TRdScrollBarEx::PartAt(int x, int y) const {
  for (int part = spLeftBtn; part <= spRightBtn; ++part) {
    if (Contains(parts_[part], {x, y})) return static_cast<TScrollBarPos>(part);
  }
  return spNone;
}

// --- Painting ---

TScrollDrawState TRdScrollBarEx::StateOf(TScrollBarPos part) const {
  if (!Enabled()) return TScrollDrawState::disabled;
  if (pressed_ == part) {
    const bool arrow = part == spLeftBtn || part == spRightBtn;
    if (!arrow || hot_ == part) return TScrollDrawState::down;
  }
  if (hot_ == part && pressed_ == spNone) return TScrollDrawState::up;
  return TScrollDrawState::exclusive;
}

void TRdScrollBarEx::DrawCentred(Canvas& canvas, skin::TPicture& picture, const Rect& r, bool centre,
                                 const std::optional<skin::TDesignRect>& margins) {
  skin::TRdGraphic* g = picture.Graphic();
  if (!g || g->Empty() || r.Empty()) return;
  Rect to = r;
  if (centre) {
    if (Vertical()) {
      to.left = (Across() - g->Width()) / 2;
      to.right = to.left + g->Width();
    } else {
      to.top = (Across() - g->Height()) / 2;
      to.bottom = to.top + g->Height();
    }
  }
  canvas.DrawPicture(*g, to, margins && !margins->Empty() ? margins : std::nullopt);
}

void TRdScrollBarEx::Paint(Canvas& canvas) {
  if (GetColor() != skin::kClNone) {
    skin::Color fill = GetColor();
    if ((fill == skin::kClDefault || fill == kClBtnFace) && Parent()) fill = Parent()->GetColor();
    canvas.FillRect(ClientRect(), fill);
  }
  if (images_.PictureWidth(kScrollBg) > 0) {
    auto along = [&](TScrollBarPicture p) { return Vertical() ? images_.PictureHeight(p) : images_.PictureWidth(p); };
    const int top = along(kScrollBgTop), bottom = along(kScrollBgBottom), length = Length();
    DrawCentred(canvas, images_.Picture(kScrollBgTop), Span(0, top, 0, Across()), autoCenter_, std::nullopt);
    DrawCentred(canvas, images_.Picture(kScrollBgBottom), Span(length - bottom, length, 0, Across()), autoCenter_,
                std::nullopt);
    DrawCentred(canvas, images_.Picture(kScrollBg), Span(top, std::max(top, length - bottom), 0, Across()), autoCenter_,
                images_.ScrollBgOption().Value());
  }
  for (TScrollBarPos part : {spRightSpace, spLeftSpace, spTrack}) {
    if (part == spTrack && parts_[spTrack].Empty()) continue;
    PaintPart(canvas, part);
  }
  if (allowArrow_) {
    for (TScrollBarPos part : {spRightBtn, spLeftBtn}) {
      if (!parts_[part].Empty()) PaintPart(canvas, part);
    }
  }
  if (onPaintEnd) onPaintEnd(*this);
}

void TRdScrollBarEx::PaintPart(Canvas& canvas, TScrollBarPos part) {
  const TScrollDrawState state = StateOf(part);
  bool defaultDraw = !onDrawControl;
  if (onDrawControl) onDrawControl(*this, canvas, part, parts_[part], state, defaultDraw);
  if (!defaultDraw) return;
  DrawPart(canvas, part, state);
  if (ownerDraw && onDrawControl) {
    bool again = true;
    onDrawControl(*this, canvas, part, parts_[part], state, again);
  }
}

void TRdScrollBarEx::DrawPart(Canvas& canvas, TScrollBarPos part, TScrollDrawState state) {
  switch (part) {
    case spTrack:
      DrawThumb(canvas, parts_[spTrack], state != TScrollDrawState::exclusive);
      break;
    case spLeftBtn:
    case spRightBtn:
      DrawArrow(canvas, parts_[part], part == spLeftBtn, state);
      break;
    default:
      break;  // the spaces show the background
  }
}

void TRdScrollBarEx::DrawThumb(Canvas& canvas, const Rect& r, bool hot) {
  auto pick = [&](TScrollBarPicture normal, TScrollBarPicture hotPicture) -> skin::TPicture& {
    skin::TPicture& h = images_.Picture(hotPicture);
    return hot && h.Graphic() && !h.Graphic()->Empty() ? h : images_.Picture(normal);
  };
  skin::TPicture& center = pick(kTrackCenter, kTrackCenterHot);
  if (!center.Graphic() || center.Graphic()->Empty()) {
    canvas.FillRect(r, kClBtnFace);
    canvas.FrameRect(r, kClBtnShadow);
    canvas.FillRect({r.left + 1, r.top + 1, r.right - 1, r.top + 2}, kClBtnHighlight);
    return;
  }
  skin::TPicture& top = pick(kTrackTop, kTrackTopHot);
  skin::TPicture& bottom = pick(kTrackBottom, kTrackBottomHot);
  auto along = [&](skin::TPicture& p) {
    skin::TRdGraphic* g = p.Graphic();
    return g ? (Vertical() ? g->Height() : g->Width()) : 0;
  };
  const int start = Along(r), end = AlongEnd(r);
  const int topLen = along(top), bottomLen = along(bottom);
  const bool centre = autoSize_ || autoCenter_;
  const int bodyFrom = start + topLen, bodyTo = std::max(bodyFrom, end - bottomLen);
  DrawCentred(canvas, center, Span(bodyFrom, bodyTo, 0, Across()), centre, images_.TrackOption().Value());
  DrawCentred(canvas, top, Span(start, start + topLen, 0, Across()), centre, std::nullopt);
  DrawCentred(canvas, bottom, Span(end - bottomLen, end, 0, Across()), centre, std::nullopt);
}

void TRdScrollBarEx::DrawArrow(Canvas& canvas, const Rect& r, bool start, TScrollDrawState state) {
  const bool hot = state == TScrollDrawState::up || state == TScrollDrawState::down;
  skin::TPicture& normal = images_.Picture(start ? kBtnLeft : kBtnRight);
  skin::TPicture& hotPicture = images_.Picture(start ? kBtnLeftHot : kBtnRightHot);
  skin::TPicture& picture = hot && hotPicture.Graphic() && !hotPicture.Graphic()->Empty() ? hotPicture : normal;
  if (picture.Graphic() && !picture.Graphic()->Empty()) {
    canvas.DrawPicture(*picture.Graphic(), r, std::nullopt);
    return;
  }
  // The system's look, drawn by us: a flat button with a small triangle.
  const bool pushed = state == TScrollDrawState::down;
  canvas.FillRect(r, pushed ? kClBtnShadow : kClBtnFace);
  canvas.FrameRect(r, kClBtnShadow);
  const skin::Color glyph = state == TScrollDrawState::disabled ? kClBtnShadow : kClBtnText;
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  for (int i = 0; i < 4; ++i) {
    const int half = start ? i : 3 - i;
    if (Vertical()) {
      canvas.FillRect({cx - half, cy - 2 + i, cx + half + 1, cy - 1 + i}, glyph);
    } else {
      canvas.FillRect({cx - 2 + i, cy - half, cx - 1 + i, cy + half + 1}, glyph);
    }
  }
}

// --- Mouse ---

void TRdScrollBarEx::Step(TScrollBarPos part) {
  switch (part) {
    case spLeftBtn:
      ScrollBy(TScrollMode::smDec, startOfChange_, kScrollLineBack, SmallStep());
      break;
    case spRightBtn:
      ScrollBy(TScrollMode::smAdd, startOfChange_, kScrollLineForward, SmallStep());
      break;
    case spLeftSpace:
      ScrollBy(TScrollMode::smDec, startOfChange_, kScrollPageBack, LargeStep());
      break;
    case spRightSpace:
      ScrollBy(TScrollMode::smAdd, startOfChange_, kScrollPageForward, LargeStep());
      break;
    default:
      break;
  }
}

void TRdScrollBarEx::StartRepeat(unsigned delay) {
  repeat_.Start(delay, [this] { RepeatTick(); });
}

void TRdScrollBarEx::StopRepeat() { repeat_.Stop(); }

void TRdScrollBarEx::RepeatTick() {
  if (repeat_.Interval() != kRepeatInterval) StartRepeat(kRepeatInterval);
  if (pressed_ == spLeftSpace || pressed_ == spRightSpace) {
    hot_ = pointerInside_ ? PartAt(last_.x, last_.y) : spNone;  // the thumb may have reached the pointer
  }
  if (pressed_ != spNone && pressed_ == hot_) Step(pressed_);
}

void TRdScrollBarEx::MouseMove(unsigned shift, int x, int y) {
  last_ = {x, y};
  pointerInside_ = Contains(ClientRect(), last_);
  if (Dragging()) {
    const int trackStart =
        AlongEnd(parts_[spLeftBtn]) < 0 ? 0 : (Vertical() ? parts_[spLeftBtn].bottom : parts_[spLeftBtn].right);
    const int trackEnd = Vertical() ? parts_[spRightBtn].top : parts_[spRightBtn].left;
    const int moved = Vertical() ? y - pressPoint_.y : x - pressPoint_.x;
    const int start = std::clamp(thumbStartAtPress_ + moved, trackStart, std::max(trackStart, trackEnd - thumbLength_));
    const int oldStart = Along(parts_[spTrack]);
    parts_[spTrack] = Span(start, start + thumbLength_, 0, Across());
    parts_[spLeftSpace] = Span(trackStart, start, 0, Across());
    parts_[spRightSpace] = Span(start + thumbLength_, trackEnd, 0, Across());
    const int free = trackEnd - trackStart - thumbLength_;
    const int range = std::min(max_ - min_, max_ - min_ - pageSize_ + 1);
    const int position =
        free <= 0 ? min_ : RoundHalfEven(static_cast<long long>(range) * (start - trackStart), free) + min_;
    const int clamped = std::clamp(position, min_, MaxPosition());
    if (clamped != position_) {
      const TScrollMode mode = clamped > position_ ? TScrollMode::smAdd : TScrollMode::smDec;
      const int change = std::abs(clamped - position_);
      position_ = clamped;
      Changed(true, kScrollThumb, mode, change);
    }
    if (start != oldStart) Invalidate();
  } else {
    const TScrollBarPos hot = pointerInside_ ? PartAt(x, y) : spNone;
    if (hot != hot_) {
      const TScrollBarPos old = hot_;
      hot_ = hot;
      if (pressed_ != spNone) {
        if (old == pressed_ && repeat_.Running()) StopRepeat();
        if (hot == pressed_) StartRepeat(kRepeatInterval);
      }
      Invalidate();
    }
  }
  TRdGraphicControl::MouseMove(shift, x, y);
}

void TRdScrollBarEx::MouseLeave() {
  pointerInside_ = false;
  if (!Dragging() && hot_ != spNone) {
    if (pressed_ != spNone && hot_ == pressed_) StopRepeat();
    hot_ = spNone;
    Invalidate();
  }
  TRdGraphicControl::MouseLeave();
}

void TRdScrollBarEx::MouseDown(MouseButton button, unsigned shift, int x, int y) {
  if (button != MouseButton::Right && host_ && host_->Host() && !host_->Host()->HasFocus() && host_->CanFocus()) {
    host_->Host()->TakeFocus();
  }
  TRdGraphicControl::MouseDown(button, shift, x, y);
  if (button != MouseButton::Left) return;
  StopRepeat();
  startOfChange_ = true;
  positionAtPress_ = position_;
  last_ = {x, y};
  pointerInside_ = true;
  hot_ = PartAt(x, y);
  const bool space = hot_ == spLeftSpace || hot_ == spRightSpace;
  if (hot_ == spNone || (space && parts_[spTrack].Empty())) {
    pressed_ = spNone;
    return;
  }
  pressed_ = hot_;
  Invalidate();
  if (pressed_ == spTrack) {
    pressPoint_ = {x, y};
    thumbStartAtPress_ = Along(parts_[spTrack]);
    return;
  }
  Step(pressed_);
  StartRepeat(waitInterval);
}

void TRdScrollBarEx::MouseUp(MouseButton button, unsigned shift, int x, int y) {
  TRdGraphicControl::MouseUp(button, shift, x, y);
  if (button != MouseButton::Left) return;
  StopRepeat();
  startOfChange_ = false;
  const TScrollBarPos released = pressed_;
  pressed_ = spNone;
  if (released != spNone && position_ != positionAtPress_ && onTrackEnd) onTrackEnd(*this);
  if (released == spTrack) Layout();  // the thumb snaps to the position
  hot_ = Contains(ClientRect(), {x, y}) ? PartAt(x, y) : spNone;
  Invalidate();
}

bool TRdScrollBarEx::MouseWheel(int delta, unsigned, int, int) {
  if (!Enabled() || delta == 0) return false;
  if (delta < 0) {
    ScrollBy(TScrollMode::smAdd, false, kScrollWheelDown, 2 * SmallStep());
  } else {
    ScrollBy(TScrollMode::smDec, false, kScrollWheelUp, 2 * SmallStep());
  }
  return true;
}

bool TRdScrollBarEx::BindEvent(std::wstring_view event, const TNotifyEvent& handler) {
  const std::pair<const wchar_t*, TNotifyEvent*> events[] = {{L"OnChange", &onChange},
                                                             {L"OnTrackEnd", &onTrackEnd},
                                                             {L"OnEnabledChange", &onEnabledChange},
                                                             {L"OnPaintEnd", &onPaintEnd}};
  for (const auto& [name, slot] : events) {
    if (EqualsIgnoreCase(event, name)) return *slot = handler, true;
  }
  return TRdGraphicControl::BindEvent(event, handler);
}

// --- The host ---

const ClassInfo& TRdScrollBar::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TRdScrollBar", &TWinControl::ClassType());
    Publisher<TRdScrollBar> p(c);
    using H = TRdScrollBar;
    // Everything but the bounds is the inner bar's.
    for (const skin::PropertyInfo* inner : TRdScrollBarEx::ClassType().Properties()) {
      static const wchar_t* const kForwarded[] = {L"Kind",         L"Min",         L"Max",         L"PageSize",
                                                  L"Position",     L"SmallChange", L"LargeChange", L"AllowArrow",
                                                  L"AutoArrow",    L"AutoSize",    L"AutoHide",    L"AutoCenter",
                                                  L"AllSkinImage", L"AllSkin",     L"WaitInterval"};
      if (std::none_of(std::begin(kForwarded), std::end(kForwarded),
                       [&](const wchar_t* n) { return EqualsIgnoreCase(n, inner->name); })) {
        continue;
      }
      skin::PropertyInfo forwarded = *inner;
      auto bar = [](skin::TPersistent& o) -> skin::TPersistent& { return static_cast<H&>(o).Bar(); };
      if (inner->get) {
        forwarded.get = [inner, bar](const skin::TPersistent& o) {
          return inner->get(bar(const_cast<skin::TPersistent&>(o)));
        };
      }
      if (inner->set)
        forwarded.set = [inner, bar](skin::TPersistent& o, const skin::PropValue& v) { inner->set(bar(o), v); };
      if (inner->object) forwarded.object = [inner, bar](skin::TPersistent& o) { return inner->object(bar(o)); };
      if (inner->stored) {
        forwarded.stored = [inner, bar](const skin::TPersistent& o) {
          return inner->stored(bar(const_cast<skin::TPersistent&>(o)));
        };
      }
      c.Add(std::move(forwarded));
    }
    (void)p;
    return c;
  }();
  return info;
}

TRdScrollBar::TRdScrollBar(UiContext& ui) : TWinControl(ui) {
  auto inner = std::make_unique<TRdScrollBarEx>(ui);
  bar_ = inner.get();
  bar_->AllSkin().SetClassKey(L"TRdScrollBar");
  bar_->SetColor(skin::kClNone);
  bar_->SetHost(this);
  InsertControl(std::move(inner));
  SetBounds(0, 0, bar_->Width(), bar_->Height());
}

TRdScrollBar::~TRdScrollBar() { DestroyChildren(); }

void TRdScrollBar::Resized() {
  TWinControl::Resized();
  if (bar_) bar_->SetBounds(0, 0, Width(), Height());
}

void TRdScrollBar::VisibleChanged() {
  TWinControl::VisibleChanged();
  if (bar_ && bar_->Visible() != Visible()) bar_->SetVisible(Visible());
}

void TRdScrollBar::Paint(Canvas& canvas) {
  if (Parent()) canvas.FillRect(ClientRect(), Parent()->GetColor());
}

bool TRdScrollBar::MouseWheel(int delta, unsigned shift, int x, int y) { return bar_->MouseWheel(delta, shift, x, y); }

bool TRdScrollBar::BindEvent(std::wstring_view event, const TNotifyEvent& handler) {
  if (bar_->BindEvent(event, handler)) return true;
  return TWinControl::BindEvent(event, handler);
}

}  // namespace nudgelet::ui
