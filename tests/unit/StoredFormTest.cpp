#include <gtest/gtest.h>

#include "skin/StoredForm.h"

namespace nudgelet::skin {
namespace {

using Kind = FormValue::Kind;

TEST(StoredForm, StringsJoinLiteralsCodesAndPlus) {
  EXPECT_EQ(ParseFormValue(L"'it''s'").text, L"it's");
  EXPECT_EQ(ParseFormValue(L"'a'#13#10'b'").text, L"a\r\nb");
  EXPECT_EQ(ParseFormValue(L"'first ' +\r\n  'second'").text, L"first second");
  EXPECT_EQ(ParseFormValue(L"#20320#22909").text, L"\u4f60\u597d");
  EXPECT_EQ(ParseFormValue(L"''").text, L"");
  EXPECT_EQ(ParseFormValue(L"''").kind, Kind::String);
}

TEST(StoredForm, NumbersIdentifiersSetsListsCollectionsBinary) {
  EXPECT_EQ(ParseFormValue(L"-21").integer, -21);
  EXPECT_EQ(ParseFormValue(L"1.5e3").number, 1500.0);
  const FormValue id = ParseFormValue(L"text_color.cl_text_b");
  EXPECT_EQ(id.kind, Kind::Identifier);
  EXPECT_EQ(id.text, L"text_color.cl_text_b");
  const FormValue set = ParseFormValue(L"[akTop, akRight]");
  ASSERT_EQ(set.items.size(), 2u);
  EXPECT_EQ(set.items[1].text, L"akRight");
  EXPECT_TRUE(ParseFormValue(L"[]").items.empty());
  const FormValue list = ParseFormValue(L"(\r\n  'imgname=images/btn.png'\r\n  'SkinRcc=classic')");
  ASSERT_EQ(list.items.size(), 2u);
  EXPECT_EQ(list.items[1].text, L"SkinRcc=classic");
  const FormValue columns =
      ParseFormValue(L"<\r\n item\r\n  Caption = 'SoftName'\r\n  Width = 138\r\n end\r\n item\r\n end>");
  ASSERT_EQ(columns.entries.size(), 2u);
  EXPECT_EQ(columns.entries[0][1].first, L"Width");
  EXPECT_EQ(columns.entries[0][1].second.integer, 138);
  EXPECT_TRUE(columns.entries[1].empty());
  EXPECT_EQ(ParseFormValue(L"{ 0A1b\r\n FF }").bytes, (std::vector<std::uint8_t>{0x0A, 0x1B, 0xFF}));
}

TEST(StoredForm, FormsNestObjects) {
  const FormObject form = ParseFormText(
      L"object Form_SoftupdateCombox: TForm_SoftupdateCombox\r\n"
      L"  ClientWidth = 370\r\n"
      L"  Font.Name = 'Tahoma'\r\n"
      L"  object pnlForm: TPanel\r\n"
      L"    Anchors = [akLeft, akTop]\r\n"
      L"    object Rdbtn_Active: TRdImageButton\r\n"
      L"      Caption = 'Update Now'\r\n"
      L"    end\r\n"
      L"  end\r\n"
      L"end\r\n");
  EXPECT_EQ(form.name, L"Form_SoftupdateCombox");
  EXPECT_EQ(form.className, L"TForm_SoftupdateCombox");
  ASSERT_EQ(form.properties.size(), 2u);
  EXPECT_EQ(form.properties[1].first, L"Font.Name");
  ASSERT_EQ(form.children.size(), 1u);
  ASSERT_EQ(form.children[0].children.size(), 1u);
  EXPECT_EQ(form.children[0].children[0].properties[0].second.text, L"Update Now");
}

TEST(StoredForm, FormattingRoundTrips) {
  for (const wchar_t* text : {L"'it''s'#13#10'x'", L"-21", L"2.5", L"[akTop, akRight]", L"('a' 'b')",
                              L"< item Width = 138 end item end>", L"{0A1BFF}", L"clNone"}) {
    const FormValue value = ParseFormValue(text);
    const FormValue again = ParseFormValue(FormatFormValue(value));
    EXPECT_EQ(FormatFormValue(again), FormatFormValue(value)) << FormatFormValue(value).size();
  }
  EXPECT_EQ(FormatFormValue(ParseFormValue(L"'a'#13#10'b'")), L"'a'#13#10'b'");
}

TEST(StoredForm, MalformedTextNamesTheLine) {
  struct Bad {
    const wchar_t* text;
    int line;
  };
  for (const Bad& bad : {Bad{L"'open", 1}, Bad{L"#", 1}, Bad{L"#70000", 1}, Bad{L"[a b]", 1}, Bad{L"(1 2", 1},
                         Bad{L"{0A1}", 1}, Bad{L"{0G}", 1}, Bad{L"<\r\n item\r\n X 1\r\n end>", 3}, Bad{L"1 2", 1},
                         Bad{L"'a' +\r\n 3", 2}, Bad{L"", 1}, Bad{L"--3", 1}}) {
    try {
      ParseFormValue(bad.text);
      ADD_FAILURE() << "accepted";
    } catch (const FormSyntaxError& e) {
      EXPECT_EQ(e.Line(), bad.line);
    }
  }
  EXPECT_THROW(ParseFormText(L"object A: TA\r\n  X = 1\r\n"), FormSyntaxError);
  EXPECT_THROW(ParseFormText(L"thing A: TA end"), FormSyntaxError);
  std::wstring deep(200, L'(');
  EXPECT_THROW(ParseFormValue(deep), FormSyntaxError);
}

}  // namespace
}  // namespace nudgelet::skin
