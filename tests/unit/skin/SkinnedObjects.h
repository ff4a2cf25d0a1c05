#pragma once
// Small skinned classes for the tests: a button-like control with a font, a
// skin class, a picture and a collection of columns, each with a picture, so
// that every kind of published property has something to reach.

#include <memory>
#include <string>
#include <vector>

#include "skin/Component.h"
#include "skin/DesignRect.h"
#include "skin/Font.h"
#include "skin/Picture.h"
#include "skin/Published.h"
#include "skin/SkinClass.h"

namespace nudgelet::skin::testing {

class TTestColumn : public TPersistent {
 public:
  static const ClassInfo& ClassType() {
    static const ClassInfo info = [] {
      ClassInfo c(L"TTestColumn", nullptr);
      Publisher<TTestColumn> p(c);
      p.Integer(
          L"Width", [](const TTestColumn& o) { return o.width; },
          [](TTestColumn& o, std::int64_t v) { o.width = static_cast<int>(v); }, 50);
      p.String(
          L"Title", [](const TTestColumn& o) { return o.title; },
          [](TTestColumn& o, const std::wstring& v) { o.title = v; });
      p.Picture(L"Icon", [](TTestColumn& o) { return &o.icon; });
      return c;
    }();
    return info;
  }
  const ClassInfo& Class() const override { return ClassType(); }

  int width = 50;
  std::wstring title;
  TPicture icon;
};

class TTestButton : public TComponent {
 public:
  explicit TTestButton(SkinClassRegistry& registry) : allSkin(registry, this), font(registry, this, &allSkin) {
    backgroundOption.onChange = [this](const TDesignRect&) { backgroundLocked = true; };
    backgroundOption.onFillIn = [this] { backgroundOption.Assign({StretchMode::Default, 4, 4, 4, 4}); };
  }

  static const ClassInfo& ClassType() {
    static const ClassInfo info = [] {
      ClassInfo c(L"TTestButton", nullptr);
      Publisher<TTestButton> p(c);
      p.Integer(
          L"Left", [](const TTestButton& o) { return o.left; },
          [](TTestButton& o, std::int64_t v) { o.left = static_cast<int>(v); }, 0);
      p.Integer(
          L"Width", [](const TTestButton& o) { return o.width; },
          [](TTestButton& o, std::int64_t v) { o.width = static_cast<int>(v); });
      p.String(
          L"Caption", [](const TTestButton& o) { return o.caption; },
          [](TTestButton& o, const std::wstring& v) { o.caption = v; });
      p.String(
          L"Hint", [](const TTestButton& o) { return o.hint; },
          [](TTestButton& o, const std::wstring& v) { o.hint = v; });
      p.Boolean(
          L"Visible", [](const TTestButton& o) { return o.visible; }, [](TTestButton& o, bool v) { o.visible = v; },
          true);
      p.Enumeration(
          L"Kind", {L"bkFirst", L"bkSecond", L"bkThird"}, [](const TTestButton& o) { return o.kind; },
          [](TTestButton& o, std::int64_t v) { o.kind = static_cast<int>(v); });
      p.Set(
          L"Anchors", {L"akLeft", L"akTop", L"akRight", L"akBottom"}, [](const TTestButton& o) { return o.anchors; },
          [](TTestButton& o, std::int64_t v) { o.anchors = static_cast<unsigned>(v); }, 3);
      p.Color(
          L"Color", [](const TTestButton& o) { return o.color; },
          [](TTestButton& o, std::int64_t v) { o.color = static_cast<Color>(v); }, 0xFF00000F);
      p.Float(
          L"Ratio", [](const TTestButton& o) { return o.ratio; }, [](TTestButton& o, double v) { o.ratio = v; }, 1.0);
      p.Strings(
          L"Items", [](const TTestButton& o) { return o.items; },
          [](TTestButton& o, const std::vector<std::wstring>& v) { o.items = v; });
      p.Object(L"AllSkin", [](TTestButton& o) { return &o.allSkin; });
      p.Object(L"Font", [](TTestButton& o) { return &o.font; });
      p.Picture(L"ImageNormal", [](TTestButton& o) { return &o.imageNormal; });
      // Shown by the button but stored by whoever lends it.
      p.Picture(L"ImageLent", [](TTestButton& o) { return &o.imageLent; }).stored = [](const TPersistent&) {
        return false;
      };
      p.Object(L"BackgroundOption", [](TTestButton& o) { return &o.backgroundOption; });
      p.Collection(
          L"Columns", [](const TTestButton& o) { return o.columns.size(); },
          [](TTestButton& o, std::size_t i) { return o.columns[i].get(); }, [](TTestButton& o) { o.columns.clear(); },
          [](TTestButton& o) { return o.columns.emplace_back(std::make_unique<TTestColumn>()).get(); });
      return c;
    }();
    return info;
  }
  const ClassInfo& Class() const override { return ClassType(); }

  int left = 0;
  int width = 0;
  std::wstring caption;
  std::wstring hint;
  bool visible = true;
  int kind = 0;
  unsigned anchors = 3;
  Color color = 0xFF00000F;
  double ratio = 1.0;
  std::vector<std::wstring> items;
  TRdSkinClass allSkin;
  TRdFont font;
  TPicture imageNormal;
  TPicture imageLent;
  TDesignRectProperty backgroundOption;
  bool backgroundLocked = false;
  std::vector<std::unique_ptr<TTestColumn>> columns;
};

}  // namespace nudgelet::skin::testing
