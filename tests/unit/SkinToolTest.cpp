// nudgelet-skin against the product's own skins, as built beside the program.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "SkinTool.h"
#include "base/Strings.h"
#include "skin/Bitmap.h"
#include "skin/FakeSkinFiles.h"
#include "skin/TestPictures.h"

namespace nudgelet::skintool {
namespace {

using ::testing::HasSubstr;

const std::wstring kSkinDir = Utf8ToWide(NUDGELET_SKIN_DIR);

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result RunTool(std::vector<std::wstring> args) {
  std::ostringstream out, err;
  const int code = Run(args, out, err);
  return {code, out.str(), err.str()};
}

using skin::testing::AsString;

// A fresh folder under the system's temporary one, gone when the test ends.
struct TempFolder {
  explicit TempFolder(const char* name) : path(std::filesystem::temp_directory_path() / name) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempFolder() { std::filesystem::remove_all(path); }
  std::filesystem::path path;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(SkinTool, TheProductSkinsResolveEverythingTheFormsName) {
  const auto r = RunTool({L"check", kSkinDir});
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "19 pictures, 8 colours, 0 missing\n");
}

TEST(SkinTool, ColorPrintsTheResolvedColour) {
  auto r = RunTool({L"color", kSkinDir, L"text_color.cl_text_b"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "0x00372A1F\n");  // #1F2A37
  r = RunTool({L"color", kSkinDir, L"clRed"});
  EXPECT_EQ(r.out, "0x000000FF\n");
  r = RunTool({L"color", kSkinDir, L"nobody.cl_nothing"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "0x000000E6\n");
  EXPECT_THAT(r.err, HasSubstr("does not define nobody.cl_nothing"));
}

TEST(SkinTool, ListGivesSortedResourcesWhoseSizesCatConfirms) {
  const auto list = RunTool({L"list", kSkinDir + L"/classic.rcc"});
  ASSERT_EQ(list.code, 0) << list.err;
  const auto lines = Lines(list.out);
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
  for (const auto& line : lines) {
    const auto tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    const auto cat = RunTool({L"cat", kSkinDir + L"/classic.rcc", Utf8ToWide(line.substr(0, tab))});
    EXPECT_EQ(cat.code, 0) << line;
    EXPECT_EQ(std::to_string(cat.out.size()), line.substr(tab + 1)) << line;
  }
  const auto png = RunTool({L"cat", kSkinDir + L"/classic.rcc", L"classic/images/scroll_bg.png"});
  EXPECT_EQ(png.out.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST(SkinTool, BadInputExitsWith2AndSaysWhy) {
  const TempFolder folder("nudgelet-skin-tool-test");
  const auto& tmp = folder.path;
  std::ofstream(tmp / "junk.rcc", std::ios::binary) << "not a package";
  const std::wstring junk = (tmp / "junk.rcc").wstring();

  EXPECT_EQ(RunTool({}).code, 2);
  EXPECT_THAT(RunTool({L"paint", kSkinDir}).err, HasSubstr("usage:"));
  EXPECT_EQ(RunTool({L"list"}).code, 2);
  auto r = RunTool({L"list", junk});
  EXPECT_EQ(r.code, 2);
  EXPECT_THAT(r.err, HasSubstr("is not a skin package"));
  r = RunTool({L"cat", kSkinDir + L"/public.rcc", L":/public/none.ini"});
  EXPECT_EQ(r.code, 2);
  EXPECT_THAT(r.err, HasSubstr("holds no file"));
  r = RunTool({L"check", kSkinDir + L"/no-such-folder"});
  EXPECT_EQ(r.code, 2);
  EXPECT_THAT(r.err, HasSubstr("no folder"));
  r = RunTool({L"check", tmp.wstring()});
  EXPECT_EQ(r.code, 2) << "a folder without the two packages is no skin";
}

TEST(SkinTool, CheckListsWhatASkinLacks) {
  const TempFolder folder("nudgelet-skin-tool-lacking");
  const auto& tmp = folder.path;
  std::filesystem::copy_file(std::filesystem::path(kSkinDir) / "public.rcc", tmp / "public.rcc",
                             std::filesystem::copy_options::overwrite_existing);
  const auto classic = skin::testing::Package(
      u"classic", {{u"main.ini", "[x]\n"},
                   {u"color_setting.ini", "[text_color]\ncl_text_b=#000000\n"},
                   {u"images/btn_close_normal.png", AsString(skin::EncodePng(skin::Bitmap(30, 30)))},
                   {u"images/btn_close_over.png", "not a png"}});
  std::ofstream(tmp / "classic.rcc", std::ios::binary)
      .write(reinterpret_cast<const char*>(classic.data()), static_cast<std::streamsize>(classic.size()));
  // A loose picture counts as much as a packaged one.
  std::filesystem::create_directories(tmp / "classic" / "images");
  std::ofstream(tmp / "classic" / "images" / "scroll_bg.png", std::ios::binary)
      << AsString(skin::EncodePng(skin::Bitmap(8, 40)));

  const auto r = RunTool({L"check", tmp.wstring()});
  EXPECT_EQ(r.code, 1);
  EXPECT_THAT(r.out, HasSubstr("missing picture images/btn_close_press.png\n"));
  EXPECT_THAT(r.out, HasSubstr("not a PNG picture images/btn_close_over.png\n"));
  EXPECT_THAT(r.out, ::testing::Not(HasSubstr("btn_close_normal")));
  EXPECT_THAT(r.out, ::testing::Not(HasSubstr("scroll_bg")));
  EXPECT_THAT(r.out, HasSubstr("19 pictures, 8 colours, 17 missing\n"));
}

TEST(SkinTool, RenderDrawsADescriptorIntoAPng) {
  const TempFolder folder("nudgelet-skin-render");
  const auto out = folder.path / "out.png";
  auto r = RunTool(
      {L"render", kSkinDir, L"imgname=images/btn_colours_normal.png\nimgopt=6,6,6,6,1", L"200", L"40", out.wstring()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "images/btn_colours_normal.png 130x32 drawn into 200x40\n");
  const auto picture = [&] {  // closed again before the next run writes the file
    std::ifstream in(out, std::ios::binary);
    return skin::DecodePng({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
  }();
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Width(), 200);
  EXPECT_EQ(picture->Height(), 40);
  EXPECT_EQ(picture->At(100, 20) >> 24, 255u) << "the face is opaque";
  EXPECT_EQ(picture->At(0, 0) >> 24, 0u) << "the rounded corner stays clear";

  // The lines may also be joined by a written-out "\n"; blank lines are nothing.
  r = RunTool({L"render", kSkinDir, L"imgname=images/btn_colours_normal.png\\nimgrect=0,0,10,10\n\n", L"20", L"20",
               out.wstring()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "images/btn_colours_normal.png 10x10 drawn into 20x20\n");

  EXPECT_EQ(RunTool({L"render", kSkinDir, L"imgname=images/none.png", L"10", L"10", out.wstring()}).code, 1);
  EXPECT_EQ(RunTool({L"render", kSkinDir, L"imgname=x", L"0", L"10", out.wstring()}).code, 2);
  EXPECT_EQ(RunTool({L"render", kSkinDir, L"imgname=x", L"big", L"10", out.wstring()}).code, 2);
  EXPECT_EQ(RunTool({L"render", kSkinDir, L"imgname=x", L"10", L"10"}).code, 2);
}

}  // namespace
}  // namespace nudgelet::skintool
