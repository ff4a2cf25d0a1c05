#include "skin/RdgImage.h"

#include <algorithm>
#include <cwchar>

#include "base/Numbers.h"
#include "base/Strings.h"
#include "settings/IniSections.h"

namespace nudgelet::skin {
namespace {

std::optional<int> ParseInt(std::wstring_view text) {
  const auto v = ParseDecimal(TrimView(text), INT32_MIN, INT32_MAX);
  return v ? std::optional<int>(static_cast<int>(*v)) : std::nullopt;
}

Rect RectOf(const std::vector<int>& n) { return {n[0], n[1], n[2], n[3]}; }

bool IsZero(const Rect& r) { return r == Rect{}; }

TDesignRect MarginsOf(const std::vector<int>& n) {
  TDesignRect m;
  m.left = std::max(0, n[0]);
  m.top = std::max(0, n[1]);
  m.right = std::max(0, n[2]);
  m.bottom = std::max(0, n[3]);
  m.mode = n[4] >= 0 && n[4] <= 3 ? static_cast<StretchMode>(n[4]) : StretchMode::Default;
  return m;
}

int AlphaOf(const std::optional<std::wstring>& text) {
  const auto v = text ? ParseInt(*text) : std::nullopt;
  if (!v || *v < 0) return -1;
  return std::min(*v, 255);
}

SmoothFilter SmoothOf(const std::vector<std::wstring>& lines) {
  const int s = ParseInt(LineValue(lines, L"imgsmooth").value_or(L"0")).value_or(0);
  return s >= 0 && s <= 2 ? static_cast<SmoothFilter>(s) : SmoothFilter::Default;
}

// The value of "key!" when present, else of "key"; `locked` tells which.
std::optional<std::wstring> Pick(const std::vector<std::wstring>& lines, const std::wstring& key, bool& locked) {
  if (auto v = LineValue(lines, key + L"!"); v && !v->empty()) {
    locked = true;
    return v;
  }
  locked = false;
  return LineValue(lines, key);
}

std::wstring Join(const std::vector<int>& numbers) {
  std::wstring out;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i) out += L',';
    out += std::to_wstring(numbers[i]);
  }
  return out;
}

bool IsDescriptorKey(std::wstring_view key) {
  for (const wchar_t* k :
       {L"imgname", L"imgrect", L"imgrect!", L"imgalpha", L"imgalpha!", L"imgsmooth", L"imgopt", L"imgopt!"}) {
    if (EqualsIgnoreCase(key, k)) return true;
  }
  return false;
}

}  // namespace

std::optional<std::wstring> LineValue(const std::vector<std::wstring>& lines, std::wstring_view key) {
  for (const auto& line : lines) {
    const auto name = IniLineName(line);
    if (name && EqualsIgnoreCase(TrimView(*name), key)) return Trim(std::wstring_view(line).substr(name->size() + 1));
  }
  return std::nullopt;
}

void SetLineValue(std::vector<std::wstring>& lines, std::wstring_view key, std::wstring_view value) {
  const std::wstring line = std::wstring(key) + L"=" + std::wstring(value);
  for (auto& own : lines) {
    const auto name = IniLineName(own);
    if (name && EqualsIgnoreCase(TrimView(*name), key)) {
      own = line;
      return;
    }
  }
  lines.push_back(line);
}

std::vector<int> ParseNumbers(std::wstring_view text, std::size_t count) {
  std::vector<int> out(count, 0);
  std::size_t start = 0;
  for (std::size_t i = 0; i < count && start <= text.size(); ++i) {
    auto comma = text.find(L',', start);
    if (comma == std::wstring_view::npos) comma = text.size();
    out[i] = ParseInt(text.substr(start, comma - start)).value_or(0);
    start = comma + 1;
  }
  return out;
}

void TRdgImage::Changed() {
  resolved_.reset();
  NotifyUsers();
}

void TRdgImage::SetValues(const std::optional<std::vector<std::wstring>>& lines, ApplyMode mode) {
  if (!lines) {
    values_.clear();
    imgName_.clear();
    clipLocked_ = alphaLocked_ = marginsLocked_ = false;
    smooth_ = SmoothFilter::Default;
    if (mode == ApplyMode::Redraw) {
      attached_.reset();
      Changed();
    }
    return;
  }
  if (&*lines != &values_) values_ = *lines;
  if (mode != ApplyMode::KeepName) imgName_ = LineValue(values_, L"imgname").value_or(L"");

  bool locked = false;
  if (!clipLocked_) {
    const auto v = Pick(values_, L"imgrect", locked);
    clipLocked_ = locked;
    clip_ = v ? RectOf(ParseNumbers(*v, 4)) : Rect{};
  }
  if (!alphaLocked_) {
    const auto v = Pick(values_, L"imgalpha", locked);
    alphaLocked_ = locked;
    alpha_ = AlphaOf(v);
  }
  if (smooth_ == SmoothFilter::Default) smooth_ = SmoothOf(values_);
  if (!marginsLocked_) {
    const auto v = Pick(values_, L"imgopt", locked);
    marginsLocked_ = locked;
    margins_ = v ? MarginsOf(ParseNumbers(*v, 5)) : TDesignRect{};
  }
  if (mode == ApplyMode::Redraw) {
    attached_.reset();
    Changed();
  }
}

void TRdgImage::SetImgName(const std::wstring& name) {
  imgName_ = name;
  attached_.reset();
  Changed();
}

void TRdgImage::SetAlphaBlendValue(int value) {
  alpha_ = value < 0 ? -1 : std::min(value, 255);
  alphaLocked_ = alpha_ != -1;
  Changed();
}

void TRdgImage::SetImgOpt(const std::optional<TDesignRect>& margins) {
  if (margins) {
    margins_ = *margins;
    marginsLocked_ = true;
  } else {
    marginsLocked_ = false;
    const auto v = attachedLines_.empty() ? std::nullopt : LineValue(attachedLines_, L"imgopt");
    margins_ = v ? MarginsOf(ParseNumbers(*v, 5)) : TDesignRect{};
  }
  Changed();
}

void TRdgImage::SetImgOptEmpty(bool empty) {
  TDesignRect margins = margins_;
  if (empty) {
    margins.SetMargins(0, 0, 0, 0);
  } else if (margins.Empty()) {
    margins.SetMargins(Width() / 3, Height() / 3, TDesignRect::kSameAsOpposite, TDesignRect::kSameAsOpposite);
  }
  SetImgOpt(margins);
}

void TRdgImage::Inherit(const std::vector<std::wstring>& named) {
  attachedLines_ = named;
  for (const auto& line : named) {
    const auto name = IniLineName(line);
    if (!name) continue;
    std::wstring key = Trim(*name);
    // Without the lock mark the name is trimmed again: a key kept with a
    // trailing blank would never match its own line and be added anew each time.
    if (!key.empty() && key.back() == L'!') key = Trim(std::wstring_view(key).substr(0, key.size() - 1));
    if (EqualsIgnoreCase(key, L"imgname")) continue;
    SetLineValue(values_, key, Trim(std::wstring_view(line).substr(name->size() + 1)));
  }
  // The named picture governs every setting the descriptor has not locked,
  // also where it says nothing: a skin that drops its margins drops them here.
  bool locked = false;
  if (smooth_ == SmoothFilter::Default) smooth_ = SmoothOf(named);
  if (!marginsLocked_) {
    const auto v = Pick(named, L"imgopt", locked);
    margins_ = v ? MarginsOf(ParseNumbers(*v, 5)) : TDesignRect{};
  }
  if (!alphaLocked_ || alpha_ == -1) alpha_ = AlphaOf(Pick(named, L"imgalpha", locked));
  if (!clipLocked_) {
    const auto v = Pick(named, L"imgrect", locked);
    clip_ = v ? RectOf(ParseNumbers(*v, 4)) : Rect{};
  }
}

const TRdgImage::Resolved* TRdgImage::Resolve() {
  if (!attached_ && !imgName_.empty()) {
    attached_ = store_.LoadPicture(imgName_);
    resolved_.reset();
  }
  if (!attached_) return nullptr;
  if (resolved_ && attached_->Generation() == resolved_->attachedGeneration &&
      (!resolved_->png || resolved_->png->Generation() == resolved_->generation)) {
    return &*resolved_;
  }

  if (attached_->GetKind() == SkinPicture::Kind::Named) Inherit(attached_->Lines());
  std::optional<Rect> clip;
  if (!IsZero(clip_)) clip = clip_;
  std::optional<int> alpha;
  if (alpha_ != -1) alpha = alpha_;
  // The descriptor's own smoothing, else the first named picture's that asks
  // for one; the cache's PNGs carry none of their own.
  SmoothFilter smooth = smooth_;

  std::shared_ptr<SkinPicture> at = attached_;
  for (int depth = 0; at && at->GetKind() == SkinPicture::Kind::Named; ++depth) {
    if (depth == kMaxNamedDepth) {
      at.reset();
      break;
    }
    const auto lines = at->Lines();
    bool locked = false;
    if (!clip) {
      if (const auto v = Pick(lines, L"imgrect", locked); v && !IsZero(RectOf(ParseNumbers(*v, 4)))) {
        clip = RectOf(ParseNumbers(*v, 4));
      }
    }
    if (!alpha) {
      if (const int a = AlphaOf(Pick(lines, L"imgalpha", locked)); a != -1) alpha = a;
    }
    if (smooth == SmoothFilter::Default) smooth = SmoothOf(lines);
    const auto name = LineValue(lines, L"imgname").value_or(L"");
    at = name.empty() ? nullptr : store_.LoadPicture(name);
  }

  Resolved r;
  r.attachedGeneration = attached_->Generation();
  if (at) {
    r.png = at;
    r.generation = at->Generation();
    const auto image = at->Image();
    const Rect whole{0, 0, image->Width(), image->Height()};
    const Rect c = clip.value_or(whole);
    r.clip = {std::max(c.left, 0), std::max(c.top, 0), std::min(c.right, whole.right),
              std::min(c.bottom, whole.bottom)};
    if (r.clip.Empty()) r.clip = {};
    r.alpha = alpha.value_or(255);
    r.smooth = smooth;
  }
  resolved_ = r;
  return &*resolved_;
}

int TRdgImage::Width() {
  const auto* r = Resolve();
  return r && r->png ? r->clip.Width() : 0;
}

int TRdgImage::Height() {
  const auto* r = Resolve();
  return r && r->png ? r->clip.Height() : 0;
}

void TRdgImage::Draw(Bitmap& dst, const Rect& to, int opacity) {
  const auto* r = Resolve();
  if (!r || !r->png || r->clip.Empty()) return;
  const auto image = r->png->Image();
  const int o = MultiplyOpacity(opacity, r->alpha);
  if (o == 0) return;
  if (margins_.Empty() && margins_.mode != StretchMode::Fill) {
    DrawScaled(dst, to, *image, r->clip, o, r->smooth);
  } else {
    DrawNineSlice(dst, to, *image, r->clip, margins_, o, r->smooth);
  }
}

std::optional<PictureSource> TRdgImage::Source() {
  const auto* r = Resolve();
  if (!r || !r->png || r->clip.Empty()) return std::nullopt;
  return PictureSource{r->png->Image(), r->clip, r->alpha, r->smooth};
}

std::unique_ptr<TPngImage> TRdgImage::ToPngImage() {
  const auto source = Source();
  if (!source) return std::make_unique<TPngImage>();
  Bitmap part(source->clip.Width(), source->clip.Height());
  for (int y = 0; y < part.Height(); ++y) {
    for (int x = 0; x < part.Width(); ++x)
      part.At(x, y) = source->pixels->At(source->clip.left + x, source->clip.top + y);
  }
  return std::make_unique<TPngImage>(std::move(part), source->opacity, source->smooth);
}

std::optional<std::uint32_t> TRdgImage::Pixel(int x, int y) {
  const auto source = Source();
  if (!source || x < 0 || y < 0 || x >= source->clip.Width() || y >= source->clip.Height()) return std::nullopt;
  return source->pixels->At(source->clip.left + x, source->clip.top + y);
}

Bitmap TRdgImage::ToBitmap() {
  Bitmap out(Width(), Height());
  Draw(out, {0, 0, out.Width(), out.Height()});
  return out;
}

std::vector<std::wstring> TRdgImage::ToLines() {
  std::vector<std::wstring> out{L"imgname=" + imgName_};
  if (clipLocked_) out.push_back(L"imgrect!=" + Join({clip_.left, clip_.top, clip_.right, clip_.bottom}));
  if (alphaLocked_ && alpha_ != -1) out.push_back(L"imgalpha!=" + std::to_wstring(alpha_));
  if (smooth_ != SmoothFilter::Default) out.push_back(L"imgsmooth=" + std::to_wstring(static_cast<int>(smooth_)));
  if (marginsLocked_) {
    out.push_back(L"imgopt!=" + Join({margins_.left, margins_.top, margins_.right, margins_.bottom,
                                      static_cast<int>(margins_.mode)}));
  }
  for (const auto& line : values_) {
    const auto name = IniLineName(line);
    if (!name) continue;
    const std::wstring key = Trim(*name);
    if (IsDescriptorKey(key)) continue;
    const auto inherited = LineValue(attachedLines_, key);
    if (inherited && *inherited == Trim(std::wstring_view(line).substr(name->size() + 1))) continue;
    out.push_back(line);
  }
  return out;
}

}  // namespace nudgelet::skin
