#include <gtest/gtest.h>

#include "ui/HtmLabel.h"
#include "ui/UiFixture.h"

namespace nudgelet::ui {
namespace {

// Resolved colours of the fixture's skin, as the text renderer records them (0x00BBGGRR).
constexpr std::uint32_t kTextB = 0x00372A1F, kLink = 0x002E77E8;

class HtmlLabelTest : public testing::UiTest {
 protected:
  // A 300 × 60 label at (10, 10) in cl_text_b whose links are cl_link and bold.
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

  // The runs drawn on the line starting `top` pixels into the label (a run in
  // a smaller font sits lower on its line).
  std::wstring LineAt(int top) const {
    std::wstring line;
    for (const auto& d : text.drawn) {
      if (d.at.top >= top + 10 && d.at.top < top + 10 + 13) line += d.text;
    }
    return line;
  }

  const testing::DrawnLine& Drawn(std::wstring_view part) const {
    for (const auto& d : text.drawn) {
      if (d.text.find(part) != std::wstring::npos) return d;
    }
    static const testing::DrawnLine none;
    ADD_FAILURE() << "nothing drawn with " << std::string(part.begin(), part.end());
    return none;
  }
};

TEST_F(HtmlLabelTest, PlainTextDropsTagsAndBreaksLinesAtBr) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"<a>3</a> programs need to be updated.", L"3 programs need to be updated."},
      {L"one<br>two<BR>three<bR>", L"one\r\ntwo\r\nthree\r\n"},
      {L"1 < 2", L"1 < 2"},                     // no ">" after it: stays
      {L"a<b>c</b", L"ac</b"},                  // the last "<" has no ">"
      {L"x<y <i>z</i>", L"xz"},                 // up to the next ">", whatever lies between
      {L"&lt;b&gt; &amp;", L"&lt;b&gt; &amp;"}  // entities are for drawing
  };
  for (const auto& [markup, plain] : cases) EXPECT_EQ(HtmlPlainText(markup), plain) << markup;

  auto& label = Label(L"");
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
  EXPECT_EQ(Drawn(L"3").rgb, kLink);
  EXPECT_EQ(Drawn(L"3").font.style, skin::fsBold);
  for (const wchar_t* word : {L"programs", L"need", L"updated."}) {
    EXPECT_EQ(Drawn(word).rgb, kTextB) << word;
    EXPECT_EQ(Drawn(word).font, label.Font()->Describe()) << word;
  }
  // The bold "3" is 7 pixels wide; the anchor is hit there and nowhere else.
  ASSERT_EQ(label.AnchorBoxes().size(), 1u);
  EXPECT_EQ(label.AnchorBoxes()[0].rects, (std::vector<Rect>{{0, 0, 7, 13}}));
  EXPECT_EQ(label.AnchorAt(3, 5), 0);
  EXPECT_EQ(label.AnchorAt(20, 5), -1);

  // Anchors beyond the link items keep the label's font.
  auto& more = Label(L"<a>one</a> <a>two</a> <A HREF='Page.htm'>three</A>");
  more.SetTop(100);
  Paint();
  EXPECT_EQ(Drawn(L"one").rgb, kLink);
  for (const wchar_t* word : {L"two", L"three"}) {
    EXPECT_EQ(Drawn(word).rgb, kTextB) << word;
    EXPECT_EQ(Drawn(word).font, more.Font()->Describe()) << word;
  }
  ASSERT_EQ(more.AnchorBoxes().size(), 3u);
  EXPECT_EQ(more.AnchorBoxes()[2].href, L"Page.htm");
  EXPECT_EQ(more.AnchorAt(21 + 6 + 18 + 6 + 1, 5), 2);
}

TEST_F(HtmlLabelTest, LinesBreakAtBrInAnyCaseAndStandIndentedRaisedOrLowered) {
  auto& lines = Label(L"one<br>two<BR>three<Br linespace=4>four<ul><li>five<ul><li>six</ul></ul>seven");
  lines.SetHeight(120);
  Paint();
  EXPECT_EQ(LineAt(0), L"one");
  EXPECT_EQ(LineAt(13), L"two");
  EXPECT_EQ(LineAt(26), L"three");
  EXPECT_EQ(LineAt(43), L"four");
  EXPECT_EQ(Drawn(L"five").at.left, 10 + 16 + 12);  // a level in, after the bullet and its space
  EXPECT_EQ(Drawn(L"six").at.left, 10 + 32 + 12);
  EXPECT_EQ(Drawn(L"seven").at.left, 10);
  form.RemoveControl(lines);

  auto& scripts = Label(L"x<sup>2</sup> y<sub>i</sub>");
  scripts.SetAutoSize(true);
  Paint();
  const Rect x = Drawn(L"x").at, sup = Drawn(L"2").at, sub = Drawn(L"i").at;
  EXPECT_LT(sup.bottom, x.bottom);
  EXPECT_GT(sub.bottom, x.bottom);
  EXPECT_GE(sup.top, 10);
  EXPECT_LE(sub.bottom, scripts.BoundsRect().bottom);
}

TEST_F(HtmlLabelTest, TextBeyondTheClientAreaIsFoundWhateverTheLayout) {
  const std::tuple<TTextLayout, int, bool> cases[] = {
      {TTextLayout::tlTop, 39, false},   {TTextLayout::tlTop, 30, true},     {TTextLayout::tlCenter, 39, false},
      {TTextLayout::tlCenter, 30, true}, {TTextLayout::tlBottom, 60, false}, {TTextLayout::tlBottom, 30, true},
  };
  for (const auto& [layout, height, out] : cases) {
    auto& label = Label(L"one<br>two<br>three");  // three lines of 13
    label.SetBounds(10, 10, 100, height);
    label.SetLayout(layout);
    Paint();
    EXPECT_EQ(label.FoundTextOutOfRect(), out) << static_cast<int>(layout) << " in " << height;
    form.RemoveControl(label);
  }
}

TEST_F(HtmlLabelTest, HoveringAnAnchorRepaintsOnlyTheAnchorsItLeavesAndEnters) {
  auto& label = Label(L"<a>first</a> middle <a>second</a>", 2);
  label.Link(0).cursor = crHandPoint;
  label.Link(0).hint = L"Open the list";
  label.Link(1).FontHover().SetColor(0x00FF00);
  label.SetShowHint(true);
  Paint();
  const Rect first{10, 10, 45, 23}, second{93, 10, 135, 23};  // bold: 7 pixels a character

  Move(200, 200);
  host.invalidated.clear();
  Move(15, 15);
  EXPECT_EQ(host.invalidated, (std::vector<Rect>{first}));
  EXPECT_EQ(host.cursor, crHandPoint);
  timers.Advance(ui.metrics.hintPauseMs);
  EXPECT_EQ(host.hint, L"Open the list");

  host.invalidated.clear();
  Move(95, 15);
  EXPECT_EQ(host.invalidated, (std::vector<Rect>{first, second}));
  EXPECT_EQ(host.cursor, crDefault);
  EXPECT_EQ(host.hint, L"");  // the second link has none
  Paint();
  EXPECT_EQ(Drawn(L"second").rgb, 0x00FF00u);
  EXPECT_EQ(Drawn(L"first").rgb, kLink);

  host.invalidated.clear();
  Move(60, 15);  // "middle"
  Move(62, 15);
  EXPECT_EQ(host.invalidated, (std::vector<Rect>{second}));
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
  const int first = 15, second = 100, middle = 60;
  auto drag = [&](int from, int to) { Move(from, 15), Press(from, 15), Move(to, 15), Release(to, 15); };

  Click(first, 15);
  drag(first, second);
  drag(middle, second);
  drag(second, middle);
  EXPECT_EQ(clicked, (std::vector<std::wstring>{L"first"}));
  // Leaving the anchor and coming back before the release still clicks it.
  Move(second, 15), Press(second, 15), Move(200, 200), Move(second, 15), Release(second, 15);
  EXPECT_EQ(clicked, (std::vector<std::wstring>{L"first", L"second"}));
  EXPECT_EQ(labelClicks, 5);  // the label's own click goes on as before

  // A link may close what holds the label.
  label.Link(0).onClick = [&](skin::TPersistent&) { form.RemoveControl(label); };
  Click(first, 15);
  EXPECT_TRUE(form.Controls().empty());
}

TEST_F(HtmlLabelTest, EntitiesBecomeTheirCharacters) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"a&nbsp;b &lt;tag&gt;", L"a b <tag>"},
      {L"&quot;q&quot; &sect; &permil; &reg; &copy; &para; &trade; &euro;",
       L"\"q\" \u00A7 \u2030 \u00AE \u00A9 \u00B6 \u2122 \u20AC"},
      {L"Tom &amp; Jerry", L"Tom & Jerry"},
      {L"R&amp;D", L"R&D"},
      {L"Fish & Chips &amp; Peas", L"Fish & Chips & Peas"},  // a lone ampersand between spaces is text
      {L"S&ave", L"Save"},                                   // otherwise it marks an accelerator
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
  EXPECT_EQ(Drawn(L"bold").font.style, skin::fsBold);
  EXPECT_EQ(Drawn(L"red").rgb, 0x0000FFu);
  EXPECT_EQ(Drawn(L"red").font.height, -16);  // 12 points at 96 dots an inch
  EXPECT_EQ(Drawn(L"red").at.left, 10 + 36 + 28 + 6);
  EXPECT_EQ(Drawn(L"id").rgb, kLink);
  EXPECT_EQ(Drawn(L"face").font.name, L"Segoe UI");
  const skin::FontDescription plain = Drawn(L"plain").font;
  EXPECT_EQ(Drawn(L"back").font, plain);
  EXPECT_EQ(Drawn(L"back").rgb, kTextB);
}

}  // namespace
}  // namespace nudgelet::ui
