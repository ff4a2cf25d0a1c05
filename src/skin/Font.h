#pragma once
// Fonts. TFont is what every control's font has; TRdFont adds what skins
// need: it follows a parent font property by property (a skin that sets
// only the colour leaves size and face following the parent), has a skin
// class of its own, and can ask for an antialiased face. The face itself
// (HFONT) is made by the Windows side from Describe().

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/ColorTable.h"
#include "skin/Component.h"
#include "skin/Published.h"
#include "skin/SkinClass.h"

namespace nudgelet::skin {

enum FontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// Windows' MulDiv: number × numerator ÷ denominator rounded half away from
// zero in 64 bits; -1 when the denominator is 0 or the result does not fit.
int MulDiv(int number, int numerator, int denominator);

// What the face is made from.
struct FontDescription {
  int height = 0;
  std::wstring name;
  unsigned style = 0;
  int charset = 0;
  int quality = 0;  // 0 default, 4 antialiased
  bool operator==(const FontDescription&) const = default;
};

class TRdFont;

class TFont : public TPersistent {
 public:
  static constexpr int kDefaultCharset = 1;
  static constexpr Color kWindowText = 0xFF000008;
  static constexpr int kDefaultHeight = -11;

  TFont();
  ~TFont() override;

  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  static const ClassInfo& ClassType();
  const ClassInfo& Class() const override { return ClassType(); }

  int Charset() const { return charset_; }
  void SetCharset(int value);
  Color GetColor() const { return color_; }
  void SetColor(Color value);
  int Height() const { return height_; }
  void SetHeight(int value);
  const std::wstring& Name() const { return name_; }
  void SetName(const std::wstring& value);
  unsigned Style() const { return style_; }
  void SetStyle(unsigned value);
  // Points: -Height × 72 ÷ pixels per inch.
  int Size() const;
  void SetSize(int points);
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value) { pixelsPerInch_ = value > 0 ? value : 96; }

  std::function<void()> onChange;

 protected:
  enum Field { kCharset, kColor, kHeight, kName, kStyle, kAntialias, kSkinClass, kFieldCount };

  // A derived font learns of every assignment before it happens.
  virtual void Assigning(Field /*field*/, bool /*same*/) {}
  virtual void Changed();
  // Tells the fonts that follow this one.
  void NotifyFollowers();

  template <class T>
  void Assign(Field field, T& member, const T& value) {
    const bool same = member == value;
    Assigning(field, same);
    if (same) return;
    member = value;
    Changed();
  }

  int charset_ = kDefaultCharset;
  Color color_ = kWindowText;
  int height_ = kDefaultHeight;
  std::wstring name_ = L"Tahoma";
  unsigned style_ = 0;
  int pixelsPerInch_ = 96;

 private:
  friend class TRdFont;
  std::vector<TRdFont*> followers_;
};

class TRdFont : public TFont {
 public:
  // `component` is the control the font belongs to (its state decides what
  // counts as a change of its own); `parentSkinClass` the control's skin
  // class, so that applying the control's skin applies the font's too.
  TRdFont(SkinClassRegistry& registry, TComponent* component, TRdSkinClass* parentSkinClass);
  ~TRdFont() override;

  static const ClassInfo& ClassType();
  const ClassInfo& Class() const override { return ClassType(); }

  // --- Following a parent font ---
  // Remembers the own style on the first link, copies the parent now when
  // asked, and lets every property follow it.
  void LinkTo(TFont* parent, bool copyNow);
  void Unlink();
  TFont* ParentLink() const { return parent_; }
  // Copies what follows the parent from it; the own-value flags stay.
  void CopyFromParent();
  bool ParentFont() const;
  void SetParentFont(bool value);
  bool Own(Field field) const { return own_[field]; }
  bool FollowsParentSkinClass() const;
  unsigned StyleBeforeLink() const { return styleBeforeLink_; }

  // --- Skin ---
  bool Antialiased() const { return antialiased_; }
  void SetAntialiased(bool value);
  TRdSkinClass& AllSkin() { return allSkin_; }
  const TRdSkinClass& AllSkin() const { return allSkin_; }
  // The height the font had when a skin last set Height or Size.
  int BaseHeight() const { return baseHeight_; }

  // --- Batches: one change notification at the end ---
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

  FontDescription Describe() const;
  // Moves on each time the face must be made anew (antialiasing changed).
  std::uint64_t FaceGeneration() const { return faceGeneration_; }

  void PathPropertySet(const PropertyInfo& info) override;

  // Friendly names for the flags.
  static constexpr Field kOwnCharset = kCharset, kOwnColor = kColor, kOwnHeight = kHeight, kOwnName = kName,
                         kOwnStyle = kStyle, kOwnAntialias = kAntialias, kOwnSkinClass = kSkinClass;

 protected:
  void Assigning(Field field, bool same) override;
  void Changed() override;

 private:
  friend class TFont;
  void SetAllOwn(bool own);

  TComponent* const component_;
  TRdSkinClass allSkin_;
  TFont* parent_ = nullptr;
  bool everLinked_ = false;
  unsigned styleBeforeLink_ = 0;
  std::array<bool, kFieldCount> own_{};
  bool antialiased_ = false;
  int baseHeight_ = kDefaultHeight;
  int updateCount_ = 0;
  int pendingChanges_ = 0;
  bool faceStale_ = false;
  std::uint64_t faceGeneration_ = 0;
  bool copying_ = false;
};

}  // namespace nudgelet::skin
