#include "ui/ListSkin.h"

#include "ui/ListView.h"

namespace nudgelet::ui {

using skin::ClassInfo;
using skin::Publisher;

const ClassInfo& TkLVSkinItem::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TkLVSkinItem", nullptr);
    Publisher<TkLVSkinItem> p(c);
    using S = TkLVSkinItem;
    auto repaint = [](S& o) { o.owner_.Invalidate(); };
    auto integer = [&](const wchar_t* name, int S::*field, int def) {
      p.Integer(
          name, [field](const S& o) { return o.*field; },
          [field, repaint](S& o, std::int64_t v) { o.*field = int(v), repaint(o); }, def);
    };
    auto color = [&](const wchar_t* name, skin::Color S::*field, skin::Color def) {
      p.Color(
          name, [field](const S& o) { return o.*field; },
          [field, repaint](S& o, std::int64_t v) { o.*field = skin::Color(v), repaint(o); }, def);
    };
    auto flag = [&](const wchar_t* name, bool S::*field, bool def) {
      p.Boolean(
          name, [field](const S& o) { return o.*field; }, [field, repaint](S& o, bool v) { o.*field = v, repaint(o); },
          def);
    };
    // Shared with the list's own properties of the same names.
    p.Integer(
         L"ItemHeight", [](const S& o) { return o.owner_.ItemHeight(); },
         [](S& o, std::int64_t v) { o.owner_.SetItemHeight(int(v)); }, 26)
        .stored = [](const skin::TPersistent&) { return false; };
    p.Integer(
         L"TextOffset", [](const S& o) { return o.owner_.TextOffset(); },
         [](S& o, std::int64_t v) { o.owner_.SetTextOffset(int(v)); }, 10)
        .stored = [](const skin::TPersistent&) { return false; };
    integer(L"ItemLeftOffset", &S::itemLeftOffset, 0);
    integer(L"EditHeight", &S::editHeight, 20);
    integer(L"ItemCheckBoxLeftOffset", &S::itemCheckBoxLeftOffset, 10);
    integer(L"StarMaxCount", &S::starMaxCount, 5);
    integer(L"LabelLineHeight", &S::labelLineHeight, 8);
    integer(L"ItemDrawStep", &S::itemDrawStep, 0);
    color(L"ItemDrawStepColor", &S::itemDrawStepColor, kClBackground);
    color(L"ItemHoverColor", &S::itemHoverColor, 0xFFFF96);
    color(L"ItemSelectColor", &S::itemSelectColor, 0xDAB5FF);
    color(L"ItemGridColor", &S::itemGridColor, skin::kClNone);
    p.Picture(L"ItemPic_BgNormal", [](S& o) { return &o.bgNormal; });
    p.Picture(L"ItemPic_BgNormal2", [](S& o) { return &o.bgNormal2; });
    p.Picture(L"ItemPic_BgHover", [](S& o) { return &o.bgHover; });
    p.Picture(L"ItemPic_BgSelect", [](S& o) { return &o.bgSelect; });
    p.Object(L"ItemPic_BgOption", [](S& o) { return &o.bgOption; });
    flag(L"ItemPic_BgFillBlank", &S::bgFillBlank, true);
    flag(L"ItemPic_BgCrossMode", &S::bgCrossMode, false);
    p.Object(L"LabelFont", [](S& o) { return &o.labelFont_; });
    flag(L"LabelFontParent", &S::labelFontParent, true);
    color(L"LabelHoverColor", &S::labelHoverColor, 0xFF0000);
    flag(L"LabelHoverUnderline", &S::labelHoverUnderline, false);
    return c;
  }();
  return info;
}

TkLVSkinItem::TkLVSkinItem(TRdListView& owner) : owner_(owner), labelFont_(owner.Ui().skins, &owner, nullptr) {
  for (skin::TPicture* p : {&bgNormal, &bgNormal2, &bgHover, &bgSelect}) p->onChange = [this] { owner_.Invalidate(); };
  bgOption.onChange = [this](const skin::TDesignRect&) { owner_.Invalidate(); };
}

const ClassInfo& TkLVSkinHeader::ClassType() {
  static const ClassInfo info = [] {
    ClassInfo c(L"TkLVSkinHeader", nullptr);
    Publisher<TkLVSkinHeader> p(c);
    using H = TkLVSkinHeader;
    auto repaint = [](H& o) { o.owner_.Invalidate(); };
    auto color = [&](const wchar_t* name, skin::Color H::*field, skin::Color def) {
      p.Color(
          name, [field](const H& o) { return o.*field; },
          [field, repaint](H& o, std::int64_t v) { o.*field = skin::Color(v), repaint(o); }, def);
    };
    p.Integer(
         L"HeaderHeight", [](const H& o) { return o.owner_.HeaderHeight(); }, nullptr)
        .stored = [](const skin::TPersistent&) { return false; };
    color(L"GradientColorStart", &H::gradientColorStart, 0xC0C0C0);
    color(L"GradientColorStop", &H::gradientColorStop, 0xFF00000F);
    color(L"HeaderDividingColor", &H::headerDividingColor, 0xFFFFFF);
    p.Picture(L"HeaderBackGround", [](H& o) { return &o.headerBackGround; });
    p.Picture(L"HeaderHoverImage", [](H& o) { return &o.headerHoverImage; });
    p.Picture(L"HeaderPressImage", [](H& o) { return &o.headerPressImage; });
    p.Picture(L"SortPic_Up", [](H& o) { return &o.sortPicUp; });
    p.Picture(L"SortPic_Down", [](H& o) { return &o.sortPicDown; });
    p.Integer(
        L"HeaderLeftOffSet", [](const H& o) { return o.headerLeftOffset; },
        [repaint](H& o, std::int64_t v) { o.headerLeftOffset = int(v), repaint(o); }, 0);
    p.Integer(
        L"HeaderSortImageOffset", [](const H& o) { return o.headerSortImageOffset; },
        [repaint](H& o, std::int64_t v) { o.headerSortImageOffset = int(v), repaint(o); }, 5);
    p.Boolean(
        L"HeaderHoverHideDividing", [](const H& o) { return o.headerHoverHideDividing; },
        [repaint](H& o, bool v) { o.headerHoverHideDividing = v, repaint(o); });
    p.Enumeration(
        L"SortState", {L"ssNone", L"ssAsc", L"ssDesc"},
        [](const H& o) { return static_cast<int>(o.owner_.SortState()); },
        [](H& o, std::int64_t v) { o.owner_.SetSortState(static_cast<TSortState>(v)); });
    p.Integer(
         L"SortColumnIndex", [](const H& o) { return o.owner_.SortColumnIndex(); },
         [](H& o, std::int64_t v) { o.owner_.SetSortColumnIndex(int(v)); }, 0)
        .stored = [](const skin::TPersistent&) { return false; };
    return c;
  }();
  return info;
}

TkLVSkinHeader::TkLVSkinHeader(TRdListView& owner) : owner_(owner) {
  for (skin::TPicture* p : {&headerBackGround, &headerHoverImage, &headerPressImage, &sortPicUp, &sortPicDown}) {
    p->onChange = [this] { owner_.Invalidate(); };
  }
}

}  // namespace nudgelet::ui
