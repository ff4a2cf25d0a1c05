#include <gtest/gtest.h>

#include "ui/HtmLabel.h"
#include "ui/UiFixture.h"

namespace nudgelet::ui {
namespace {

using testing::UiTest;

// Resolved colours of the fixture's skin, as the text renderer records them (0x00BBGGRR).
constexpr std::uint32_t kTextB = 0x00372A1F, kLink = 0x002E77E8;

class HtmlLabelTest : public UiTest {
 protected:
  // A label whose text is cl_text_b and whose first link is cl_link, bold.
  TRdHtmLabel& Label(const std::wstring& caption, int links = 1) {
    auto& label = Add<TRdHtmLabel>(10, 10, 300, 60);
    label.Font()->SetColor(skin::ColorIdOf(L"text_color.cl_text_b"));
    for (int i = 0; i < links; ++i) {
      TRdHtmLabelLink& link = label.AddLink();
      link.Font().SetColor(skin::ColorIdOf(L"text_color.cl_link"));
      link.Font().SetStyle(skin::fsBold);
    }
    label.SetCaption(caption);
    return label;
  }

  // The text drawn on the line that starts at `top` (label coordinates), runs joined;
  // a run in a smaller font sits lower on the line.
  std::wstring LineAt(int top) const {
    std::wstring line;
    for (const auto& d : text.drawn) {
      if (d.at.top >= top + 10 && d.at.top < top + 10 + 13) line += d.text;
    }
    return line;
  }

  const testing::DrawnLine* Drawn(std::wstring_view part) const {
    for (const auto& d : text.drawn) {
      if (d.text.find(part) != std::wstring::npos) return &d;
    }
    return nullptr;
  }
};

TEST_F(HtmlLabelTest, PlainTextDropsTagsAndBreaksLinesAtBr) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"<a>3</a> programs need to be updated.", L"3 programs need to be updated."},
      {L"one<br>two<BR>three<bR>", L"one\r\ntwo\r\nthree\r\n"},
      {L"<font color=#FF0000>red</font> <b>bold", L"red bold"},
      {L"1 < 2", L"1 < 2"},                     // no ">" after it: stays
      {L"a<b>c</b", L"ac</b"},                  // the last "<" has no ">"
      {L"x<y <i>z</i>", L"xz"},                 // up to the next ">", whatever lies between
      {L"&lt;b&gt; &amp;", L"&lt;b&gt; &amp;"}  // entities are for drawing
  };
  for (const auto& [markup, plain] : cases) EXPECT_EQ(HtmlPlainText(markup), plain) << markup;

  auto& label = Label(L"<a>3</a> programs<br>need updating");
  EXPECT_EQ(label.PlainText(), L"3 programs\r\nneed updating");
  label.SetLines({L"<b>one</b>", L"two"});
  EXPECT_EQ(label.Caption(), L"<b>one</b>\r\ntwo");
  EXPECT_EQ(label.PlainText(), L"one\r\ntwo");
  label.SetCaption(L"a\r\n<i>b</i>");
  EXPECT_EQ(label.Lines(), (std::vector<std::wstring>{L"a", L"<i>b</i>"}));
}

TEST_F(HtmlLabelTest, TheCountDrawsInTheLinkColourAndTheRestInTheLabelColour) {
  auto& label = Label(L"<a>3</a> programs need to be updated.");
  Paint();
  EXPECT_EQ(LineAt(0), L"3 programs need to be updated.");
  ASSERT_NE(Drawn(L"3"), nullptr);
  EXPECT_EQ(Drawn(L"3")->rgb, kLink);
  EXPECT_EQ(Drawn(L"3")->font.style, skin::fsBold);
  for (const wchar_t* word : {L"programs", L"need", L"updated."}) {
    EXPECT_EQ(text.ColorOf(word), kTextB) << word;
    EXPECT_EQ(Drawn(word)->font.style, 0u) << word;
  }
  // The bold "3" is 7 pixels wide; the anchor is hit there and nowhere else.
  ASSERT_EQ(label.AnchorBoxes().size(), 1u);
  EXPECT_EQ(label.AnchorBoxes()[0].rects, (std::vector<Rect>{{0, 0, 7, 13}}));
  EXPECT_EQ(label.AnchorAt(3, 5), 0);
  EXPECT_EQ(label.AnchorAt(20, 5), -1);
}

TEST_F(HtmlLabelTest, AnchorsBeyondTheLinkItemsUseTheLabelFont) {
  auto& label = Label(L"<a>one</a> <a>two</a> <A HREF='x'>three</A>", 1);
  Paint();
  EXPECT_EQ(text.ColorOf(L"one"), kLink);
  for (const wchar_t* word : {L"two", L"three"}) {
    EXPECT_EQ(text.ColorOf(word), kTextB) << word;
    EXPECT_EQ(Drawn(word)->font, label.Font()->Describe()) << word;
  }
  ASSERT_EQ(label.AnchorBoxes().size(), 3u);
  EXPECT_EQ(label.AnchorBoxes()[2].href, L"x");
  EXPECT_EQ(label.AnchorAt(7 * 3 + 6 + 6 * 3 + 6 + 1, 5), 2);
}

TEST_F(HtmlLabelTest, BrInAnyCaseBreaksTheLine) {
  Label(L"one<br>two<BR>three<Br>four<br linespace=4>five");
  Paint();
  EXPECT_EQ(LineAt(0), L"one");
  EXPECT_EQ(LineAt(13), L"two");
  EXPECT_EQ(LineAt(26), L"three");
  EXPECT_EQ(LineAt(39), L"four");
  EXPECT_EQ(LineAt(56), L"five");
}

TEST_F(HtmlLabelTest, TextBeyondTheClientAreaIsFoundWhateverTheLayout) {
  struct Case {
    TTextLayout layout;
    int height;
    bool out;
  };
  const Case cases[] = {
      {TTextLayout::tlTop, 39, false},   {TTextLayout::tlTop, 30, true},     {TTextLayout::tlCenter, 39, false},
      {TTextLayout::tlCenter, 30, true}, {TTextLayout::tlBottom, 60, false}, {TTextLayout::tlBottom, 30, true},
  };
  for (const Case& c : cases) {
    auto& label = Label(L"one<br>two<br>three");  // three lines of 13
    label.SetBounds(10, 10, 100, c.height);
    label.SetLayout(c.layout);
    Paint();
    EXPECT_EQ(label.FoundTextOutOfRect(), c.out) << static_cast<int>(c.layout) << " in " << c.height;
    form.RemoveControl(label);
  }
}

TEST_F(HtmlLabelTest, ListItemsStandIndented) {
  Label(L"<ul><li>one<ul><li>two</ul></ul>three");
  Paint();
  EXPECT_EQ(Drawn(L"one")->at.left, 10 + 16 + 12);  // one level, then the bullet and its space
  EXPECT_EQ(Drawn(L"two")->at.left, 10 + 32 + 12);
  EXPECT_EQ(Drawn(L"three")->at.left, 10);
}

TEST_F(HtmlLabelTest, HoveringAnAnchorRepaintsOnlyTheAnchorsItLeavesAndEnters) {
  auto& label = Label(L"<a>first</a> middle <a>second</a>", 2);
  label.Link(0).cursor = crHandPoint;
  label.Link(0).hint = L"Open the list";
  label.Link(1).FontHover().SetColor(0x00FF00);
  label.SetShowHint(true);
  Paint();
  const Rect first{10, 10, 45, 23};  // "first": 5 bold characters of 7
  const Rect second{10 + 35 + 6 + 42, 10, 10 + 35 + 6 + 42 + 42, 23};

  Move(200, 200);
  host.invalidated.clear();
  Move(15, 15);
  EXPECT_EQ(label.HoveredAnchor(), 0);
  EXPECT_EQ(host.invalidated, (std::vector<Rect>{first}));
  EXPECT_EQ(host.cursor, crHandPoint);
  timers.Advance(ui.metrics.hintPauseMs);
  EXPECT_EQ(host.hint, L"Open the list");

  host.invalidated.clear();
  Move(second.left + 2, 15);
  EXPECT_EQ(host.invalidated, (std::vector<Rect>{first, second}));
  EXPECT_EQ(host.cursor, crDefault);
  EXPECT_EQ(host.hint, L"");  // the second link has no hint
  Paint();
  EXPECT_EQ(text.ColorOf(L"second"), 0x00FF00u);
  EXPECT_EQ(text.ColorOf(L"first"), kLink);

  host.invalidated.clear();
  Move(60, 15);  // "middle"
  EXPECT_EQ(host.invalidated, (std::vector<Rect>{second}));
  host.invalidated.clear();
  Move(62, 15);
  EXPECT_TRUE(host.invalidated.empty());
}

TEST_F(HtmlLabelTest, ALinkIsClickedOnlyByAPressAndAReleaseOnTheSameAnchor) {
  auto& label = Label(L"<a>first</a> middle <a>second</a>", 2);
  std::vector<std::wstring> clicked;
  for (int i = 0; i < 2; ++i) {
    label.Link(i).name = i ? L"second" : L"first";
    label.Link(i).onClick = [&](skin::TPersistent& sender) {
      clicked.push_back(static_cast<TRdHtmLabelLink&>(sender).name);
    };
  }
  int labelClicks = 0;
  label.onClick = [&](skin::TPersistent&) { ++labelClicks; };
  Paint();
  const int onFirst = 15, onSecond = 100, onMiddle = 60;

  Click(onFirst, 15);
  EXPECT_EQ(clicked, (std::vector<std::wstring>{L"first"}));
  Move(onFirst, 15), Press(onFirst, 15), Move(onSecond, 15), Release(onSecond, 15);
  Move(onMiddle, 15), Press(onMiddle, 15), Move(onSecond, 15), Release(onSecond, 15);
  Move(onSecond, 15), Press(onSecond, 15), Move(onMiddle, 15), Release(onMiddle, 15);
  EXPECT_EQ(clicked.size(), 1u);
  // Leaving the anchor and coming back before the release still clicks it.
  Move(onSecond, 15), Press(onSecond, 15), Move(200, 200), Move(onSecond, 15), Release(onSecond, 15);
  EXPECT_EQ(clicked, (std::vector<std::wstring>{L"first", L"second"}));
  EXPECT_EQ(labelClicks, 5);  // the label's own click goes on as before

  // A link may close what holds the label.
  label.Link(0).onClick = [&](skin::TPersistent&) { form.RemoveControl(label); };
  Click(onFirst, 15);
  EXPECT_TRUE(form.Controls().empty());
  EXPECT_EQ(labelClicks, 5);
}

TEST_F(HtmlLabelTest, EntitiesBecomeTheirCharacters) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"a&nbsp;b &lt;tag&gt;", L"a b <tag>"},
      {L"&quot;q&quot; &sect; &permil; &reg; &copy; &para; &trade; &euro;",
       L"\"q\" \u00A7 \u2030 \u00AE \u00A9 \u00B6 \u2122 \u20AC"},
      {L"Tom &amp; Jerry", L"Tom & Jerry"},
      {L"R&amp;D", L"R&D"},
      {L"Fish & Chips", L"Fish & Chips"},  // a lone ampersand between spaces is text
      {L"Fish & Chips &amp; Peas", L"Fish & Chips & Peas"},
      {L"S&ave", L"Save"},  // otherwise it marks an accelerator
  };
  for (const auto& [markup, drawn] : cases) {
    auto& label = Label(markup);
    Paint();
    EXPECT_EQ(LineAt(0), drawn) << markup;
    form.RemoveControl(label);
  }
}

TEST_F(HtmlLabelTest, BoldAndFontRunsChangeOnlyTheirOwnText) {
  Label(
      L"plain <b>bold</b> <font color=#FF0000 size=12>red</font> back <FONT COLOR=text_color.cl_link>id</FONT> "
      L"<Font Face='Segoe UI'>face</Font>");
  Paint();
  EXPECT_EQ(LineAt(0), L"plain bold red back id face");
  EXPECT_EQ(Drawn(L"bold")->font.style, skin::fsBold);
  EXPECT_EQ(Drawn(L"bold")->at.left, 10 + 36);
  EXPECT_EQ(text.ColorOf(L"red"), 0x0000FFu);
  EXPECT_EQ(Drawn(L"red")->font.height, -16);  // 12 points at 96 dots an inch
  EXPECT_EQ(Drawn(L"red")->at.left, 10 + 36 + 28 + 6);
  EXPECT_EQ(text.ColorOf(L"back"), kTextB);
  EXPECT_EQ(Drawn(L"back")->font.height, -11);
  EXPECT_EQ(Drawn(L"back")->font.style, 0u);
  EXPECT_EQ(text.ColorOf(L"id"), kLink);
  EXPECT_EQ(Drawn(L"face")->font.name, L"Segoe UI");
  EXPECT_EQ(Drawn(L"back")->font.name, L"Tahoma");
}

TEST_F(HtmlLabelTest, SuperscriptRisesAndSubscriptSinksWithinTheLine) {
  auto& label = Label(L"x<sup>2</sup> y<sub>i</sub>");
  label.SetAutoSize(true);
  Paint();
  const Rect x = Drawn(L"x")->at, sup = Drawn(L"2")->at, sub = Drawn(L"i")->at;
  EXPECT_LT(sup.bottom, x.bottom);
  EXPECT_GT(sub.bottom, x.bottom);
  EXPECT_GE(sup.top, 10);
  EXPECT_LE(sub.bottom, label.BoundsRect().bottom);
}

}  // namespace
}  // namespace nudgelet::ui
