#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "skin/ColorTable.h"

namespace nudgelet::skin {
namespace {

using ::testing::ElementsAre;

TEST(ColorIdentifier, IsTheLow24BitsOfTheLowerCasedNamesCrc) {
  EXPECT_EQ(ColorIdOf(L"public_element.cl_window_bg_border"), 0xFF664367u);
  EXPECT_EQ(ColorIdOf(L"text_color.cl_text_b"), 0xFFEDBB8Du);
  EXPECT_EQ(ColorIdOf(L"Text_Color.CL_Text_B"), 0xFFEDBB8Du);
  EXPECT_NE(ColorIdOf(L"text_color.cl_text_c"), ColorIdOf(L"text_color.cl_text_b"));
  // Longer than one piece of the hash, and a character beyond the BMP as a surrogate pair.
  EXPECT_EQ(ColorIdOf(std::wstring(300, L'A')), 0xFFCAFACDu);
  EXPECT_EQ(ColorIdOf(L"x\U0001F600Y"), 0xFF1CAF22u);
}

struct ValueCase {
  const wchar_t* text;
  bool bgr;
  Color expected;
};

TEST(ColorValue, EverySyntaxInBothByteOrders) {
  const ValueCase cases[] = {
      // Red, written every way a skin may write it.
      {L"#FF0000", false, 0x000000FF},
      {L"255,0,0", false, 0x000000FF},
      {L"FF0000", false, 0x000000FF},
      {L"$0000FF", false, 0x000000FF},
      {L"  #ff0000 ", false, 0x000000FF},
      {L" 10 , 20 , 30 ", false, 0x001E140A},
      {L"#12345", false, 0x00452301},
      // Blue-green-red order: the triple reads blue first; numbers are Windows
      // values. "#" says red first itself, so it reads the same in either order.
      {L"255,0,0", true, 0x00FF0000},
      {L"FF0000", true, 0x00FF0000},
      {L"255", true, 0x000000FF},
      {L"$FF0000", true, 0x00FF0000},
      {L"#FF0000", true, 0x000000FF},
      {L"#12345", true, 0x00452301},
      // What cannot be read is black; a triple's bad part is 0, and parts
      // beyond a byte stay within it instead of spilling into the next.
      {L"", false, 0},
      {L"zz", false, 0},
      {L"#GG0000", false, 0},
      {L"1,2", false, 0},
      {L"1,2,3,4", false, 0},
      {L"x,128,300", false, 0x00FF8000},
      {L"-5,0,0", false, 0},
      {L"123456789", false, 0},
      {L"$", false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseColorValue(c.text, c.bgr), c.expected)
        << "value \"" << std::wstring(c.text).size() << "\" #" << (&c - cases);
  }
}

TEST(ColorTable, SectionsFillTheTableAndTheLoadedList) {
  ColorTable table;
  table.AddSection(L"text_color", {L"class=color", L"cl_text_b=#1F2A37", L"cl_plain=255,0,0"});
  table.AddSection(L"bgr_section", {L"type=bgr", L"cl_triple=255,0,0"});

  EXPECT_THAT(table.LoadedColors(), ElementsAre(L"text_color.cl_text_b=#1F2A37", L"text_color.cl_plain=255,0,0",
                                                L"bgr_section.cl_triple=255,0,0"));

  const Color id = table.IdentToColor(L"text_color.cl_text_b");
  EXPECT_EQ(id, 0xFFEDBB8Du) << "a property stores the identifier, not the colour";
  EXPECT_EQ(table.ColorToRGB(id), 0x00372A1Fu);
  EXPECT_EQ(table.ColorToRGB(table.IdentToColor(L"TEXT_COLOR.CL_PLAIN")), 0x000000FFu);
  EXPECT_EQ(table.ColorToRGB(table.IdentToColor(L"bgr_section.cl_triple")), 0x00FF0000u);
  EXPECT_EQ(table.ColorToIdent(id), L"text_color.cl_text_b");
  EXPECT_FALSE(table.Defines(ColorIdOf(L"text_color.class")));
  EXPECT_FALSE(table.Defines(ColorIdOf(L"bgr_section.type")));

  table.Reset();
  EXPECT_TRUE(table.LoadedColors().empty());
  EXPECT_EQ(table.ColorToRGB(id), kUndefinedColor);
  EXPECT_EQ(table.IdentToColor(L"clRed"), 0x000000FFu) << "standard names survive a reset";
}

TEST(ColorTable, UndefinedIdentifiersReadAndDrawAs230) {
  ColorTable table;
  std::vector<std::wstring> debug;
  table.SetDebugOutput([&](const std::wstring& line) { debug.push_back(line); });

  const Color id = table.IdentToColor(L"nobody.defines_this");
  EXPECT_EQ(id, ColorIdOf(L"nobody.defines_this"));
  EXPECT_EQ(table.ColorToRGB(id), 230u);
  EXPECT_FALSE(table.ColorToIdent(id));
  EXPECT_TRUE(debug.empty()) << "quiet unless debug output is on";

  table.SetDebugEnabled(true);
  EXPECT_EQ(table.ColorToRGB(id), 230u);
  ASSERT_EQ(debug.size(), 1u);
  EXPECT_EQ(debug[0], L"warning non-color: ff97b327");
  EXPECT_EQ(table.ColorByName(L"nobody.defines_this", 0x123456), 0x123456u);
}

TEST(ColorTable, StandardNamesUnderBothKeys) {
  ColorTable table;
  table.SetSystemColors([](int index) { return static_cast<Color>(0x010101 * index); });

  EXPECT_EQ(StandardColors().size(), 52u);
  EXPECT_EQ(table.IdentToColor(L"clRed"), 0x000000FFu);
  EXPECT_EQ(table.IdentToColor(L"clbtnface"), 0xFF00000Fu);
  EXPECT_EQ(table.IdentToColor(L"clNone"), kClNone);
  EXPECT_EQ(table.ColorToIdent(0), L"clBlack");
  EXPECT_EQ(table.ColorToIdent(0xFF00000F), L"clBtnFace");
  EXPECT_EQ(table.ColorToIdent(kClDefault), L"clDefault");

  // Plain colours pass, system colours come from the system, and a standard
  // name's identifier stands for its value.
  EXPECT_EQ(table.ColorToRGB(0x00123456), 0x00123456u);
  EXPECT_EQ(table.ColorToRGB(0xFF000005), 0x00050505u);
  EXPECT_EQ(table.ColorToRGB(ColorIdOf(L"clBtnFace")), 0x000F0F0Fu);
  EXPECT_EQ(table.ColorToRGB(ColorIdOf(L"clRed")), 0x000000FFu);
  // A skin naming a system colour by its value draws with the system's colour.
  table.AddSection(L"sys", {L"cl_face=$FF00000F"});
  EXPECT_EQ(table.ColorToRGB(ColorIdOf(L"sys.cl_face")), 0x000F0F0Fu);

  // Numbers in stored form data are colours already.
  EXPECT_EQ(table.IdentToColor(L"$00FF00"), 0x0000FF00u);
  EXPECT_EQ(table.IdentToColor(L"16711680"), 0x00FF0000u);
  EXPECT_EQ(table.IdentToColor(L"-16777201"), 0xFF00000Fu);
}

TEST(ColorTable, ListsLoadedNamesThenStandardNamesAndLaterDefinitionsWin) {
  ColorTable table;
  table.AddSection(L"public_element", {L"cl_bg=#FFFFFF"});
  table.AddSection(L"public_element", {L"cl_bg=#000080"});

  std::vector<std::wstring> names;
  table.GetColorValues([&](const std::wstring& name) { names.push_back(name); });
  ASSERT_EQ(names.size(), 2u + 52u);
  EXPECT_EQ(names[0], L"public_element.cl_bg");
  EXPECT_EQ(names[1], L"public_element.cl_bg");
  EXPECT_EQ(names[2], L"clBlack");
  EXPECT_EQ(names.back(), L"clNone");

  EXPECT_EQ(table.ColorToRGB(ColorIdOf(L"public_element.cl_bg")), 0x00800000u);
  EXPECT_EQ(table.ColorByName(L"public_element.cl_bg", 7), ColorIdOf(L"public_element.cl_bg"));
}

}  // namespace
}  // namespace nudgelet::skin
