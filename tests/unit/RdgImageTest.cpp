#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "skin/FakeSkinFiles.h"
#include "skin/InProcessSource.h"
#include "skin/RdgImage.h"
#include "skin/TestPictures.h"

namespace nudgelet::skin {
namespace {

using ::testing::ElementsAre;
using namespace nudgelet::skin::testing;

class DescriptorTest : public ::testing::Test {
 protected:
  DescriptorTest() {
    const auto strip = AsString(EncodePng(Strip(90, 30)));
    const auto framed = AsString(EncodePng(Framed()));
    Bitmap steps(6, 1);
    const std::uint32_t levels[] = {0, 90, 0, 30, 30, 240};
    for (int x = 0; x < 6; ++x) steps.At(x, 0) = 0xFF000000 | levels[x] * 0x010101;
    files.Add(L"C:\\skin\\public.rcc",
              Package(u"public", {{u"main.ini",
                                   "[img_strip_left]\nclass=image\nimgname=images/strip.png\nimgrect=0,0,30,30\n"
                                   "imgalpha=128\nimgopt=2,2,2,2,1\ntint=blue\n"
                                   "[img_loop]\nclass=image\nimgname=[img_loop2]\n"
                                   "[img_loop2]\nclass=image\nimgname=[img_loop]\n"
                                   "[img_steps]\nclass=image\nimgname=images/steps.png\nimgsmooth=2\n"
                                   "[img_steps_again]\nclass=image\nimgname=[img_steps]\n"
                                   "[img_bare]\nclass=image\nimgname=images/strip.png\n"}}));
    files.Add(
        L"C:\\skin\\classic.rcc",
        Package(u"classic", {{u"main.ini", "[img_edge]\nclass=image\nimgname=images/framed.png\nimgopt=4,4,4,4,1\n"},
                             {u"images/strip.png", strip},
                             {u"images/framed.png", framed},
                             {u"images/steps.png", AsString(EncodePng(steps))}}));
    files.Add(L"C:\\skin\\dark.rcc",
              Package(u"dark", {{u"main.ini", "[img_edge]\nclass=image\nimgname=images/strip.png\n"},
                                {u"images/strip.png", framed},
                                {u"images/dark_only.png", framed}}));
    store.RegisterPackage(L"C:\\skin\\public.rcc", true);
    store.RegisterPackage(L"C:\\skin\\classic.rcc", false);
  }

  MemoryFiles files;
  InProcessSource source{files};
  PackageStore store{source, files, L"C:\\skin"};
};

TEST_F(DescriptorTest, ClipOpacityAndSize) {
  TRdgImage whole(store);
  whole.SetValues(std::vector<std::wstring>{L"imgname=images/strip.png"});
  EXPECT_EQ(whole.Width(), 90);
  EXPECT_EQ(whole.Height(), 30);
  Bitmap dst(9, 3);
  whole.Draw(dst, {0, 0, 9, 3});
  EXPECT_EQ(dst.At(0, 1), kRed);
  EXPECT_EQ(dst.At(8, 1), kBlue);

  whole.SetImgOptEmpty(false);
  EXPECT_EQ(whole.ImgOpt(), (TDesignRect{StretchMode::Default, 30, 10, 30, 10}));
  EXPECT_TRUE(whole.MarginsLocked());
  whole.SetImgOptEmpty(true);
  EXPECT_TRUE(whole.ImgOpt().Empty());

  TRdgImage square(store);
  square.SetValues(std::vector<std::wstring>{L"imgname=images/strip.png", L"imgrect=0,0,30,30"});
  EXPECT_EQ(square.Width(), 30);
  Bitmap one(10, 10);
  square.Draw(one, {0, 0, 10, 10});
  EXPECT_EQ(one.At(9, 9), kRed) << "only the first square is drawn";

  TRdgImage faint(store);
  faint.SetValues(std::vector<std::wstring>{L"imgname=images/strip.png", L"imgalpha=x", L"imgrect=1,2"});
  EXPECT_EQ(faint.AlphaBlendValue(), -1) << "a bad opacity is not set";
  EXPECT_EQ(faint.Clip(), (Rect{1, 2, 0, 0})) << "missing numbers are 0";
  faint.SetValues(std::vector<std::wstring>{L"imgname=images/strip.png", L"imgalpha=51"});
  Bitmap half(3, 3);
  faint.Draw(half, {0, 0, 3, 3}, 128);
  EXPECT_EQ(half.At(0, 0) >> 24, 25u) << "51 x 128 / 255, rounded down";
}

TEST_F(DescriptorTest, LockedSettingsSurviveLaterLinesAndAreWrittenBack) {
  TRdgImage picture(store);
  picture.SetValues(std::vector<std::wstring>{L"imgname=images/framed.png", L"imgalpha!=128", L"imgopt!=6,6,6,6,2",
                                              L"SkinRcc=classic"});
  picture.SetValues(
      std::vector<std::wstring>{L"imgname=images/framed.png", L"imgalpha=255", L"imgopt=1,1,1,1,1", L"imgsmooth=2"});
  EXPECT_EQ(picture.AlphaBlendValue(), 128);
  EXPECT_EQ(picture.ImgOpt(), (TDesignRect{StretchMode::Fill, 6, 6, 6, 6}));
  EXPECT_EQ(picture.Smoothing(), SmoothFilter::Smooth);
  EXPECT_THAT(picture.ToLines(),
              ElementsAre(L"imgname=images/framed.png", L"imgalpha!=128", L"imgsmooth=2", L"imgopt!=6,6,6,6,2"));

  picture.SetAlphaBlendValue(-1);
  EXPECT_FALSE(picture.AlphaLocked());
  picture.SetValues(std::nullopt);
  EXPECT_EQ(picture.ImgName(), L"");
  EXPECT_FALSE(picture.MarginsLocked());
  EXPECT_EQ(picture.Width(), 0);
}

TEST_F(DescriptorTest, NamedPicturesLendTheirSettings) {
  TRdgImage picture(store);
  picture.SetValues(std::vector<std::wstring>{L"imgname=[img_strip_left]", L"SkinRcc=classic"});
  EXPECT_EQ(picture.Width(), 30);
  EXPECT_EQ(picture.AlphaBlendValue(), 128);
  EXPECT_EQ(picture.ImgOpt(), (TDesignRect{StretchMode::Stretch, 2, 2, 2, 2}));
  EXPECT_EQ(LineValue(picture.Values(), L"tint"), L"blue");
  EXPECT_THAT(picture.ToLines(), ElementsAre(L"imgname=[img_strip_left]", L"SkinRcc=classic"))
      << "what the named picture gives is not written back";

  TRdgImage own(store);
  own.SetValues(std::vector<std::wstring>{L"imgname=[img_strip_left]", L"imgrect!=30,0,60,30", L"imgalpha!=200"});
  EXPECT_EQ(own.Clip(), (Rect{30, 0, 60, 30}));
  EXPECT_EQ(own.Width(), 30);
  EXPECT_EQ(own.AlphaBlendValue(), 200);
  Bitmap dst(30, 30);
  own.Draw(dst, {0, 0, 30, 30});
  EXPECT_EQ(dst.At(15, 15), BlendOver(0, kGreen, 200)) << "the middle third of the strip, at its own opacity";

  TRdgImage loop(store);
  loop.SetValues(std::vector<std::wstring>{L"imgname=[img_loop]"});
  EXPECT_EQ(loop.Width(), 0) << "named pictures naming each other lead nowhere";
}

TEST_F(DescriptorTest, ANamedPictureGovernsWhatTheDescriptorDoesNotLock) {
  struct Case {
    std::vector<std::wstring> lines;
    Rect clip;
    int alpha;
    TDesignRect margins;
    int width;
  };
  const Case cases[] = {
      // The named picture says nothing of clip, opacity or margins: unlocked lines give way all the same.
      {{L"imgname=[img_bare]", L"imgrect=0,0,10,10", L"imgalpha=60", L"imgopt=3,3,3,3,1"}, {}, -1, {}, 90},
      {{L"imgname=[img_bare]", L"imgrect!=0,0,10,10", L"imgalpha!=60", L"imgopt!=3,3,3,3,1"},
       {0, 0, 10, 10},
       60,
       {StretchMode::Stretch, 3, 3, 3, 3},
       10},
      {{L"imgname=[img_strip_left]", L"imgrect=0,0,10,10", L"imgalpha=60", L"imgopt=3,3,3,3,1"},
       {0, 0, 30, 30},
       128,
       {StretchMode::Stretch, 2, 2, 2, 2},
       30},
  };
  for (const auto& c : cases) {
    TRdgImage picture(store);
    picture.SetValues(c.lines);
    EXPECT_EQ(picture.Width(), c.width) << "case " << (&c - cases);
    EXPECT_EQ(picture.Clip(), c.clip) << "case " << (&c - cases);
    EXPECT_EQ(picture.AlphaBlendValue(), c.alpha) << "case " << (&c - cases);
    EXPECT_EQ(picture.ImgOpt(), c.margins) << "case " << (&c - cases);
  }

  // A new skin whose named picture has no margins takes the old skin's away.
  TRdgImage edge(store);
  edge.SetValues(std::vector<std::wstring>{L"imgname=[img_edge]", L"SkinRcc=classic"});
  EXPECT_EQ(edge.Width(), 20);
  EXPECT_EQ(edge.ImgOpt(), (TDesignRect{StretchMode::Stretch, 4, 4, 4, 4}));
  store.RegisterPackage(L"C:\\skin\\dark.rcc", false);
  EXPECT_EQ(edge.Width(), 20);
  EXPECT_TRUE(edge.ImgOpt().Empty());
}

TEST_F(DescriptorTest, SmoothingComesFromTheDescriptorElseItsNamedPictures) {
  // Six grey steps shrunk to two: a box filter averages each three (30, 100),
  // bilinear takes the middle of each three (90, 30).
  const auto drawn = [&](const std::vector<std::wstring>& lines) {
    TRdgImage picture(store);
    picture.SetValues(lines);
    Bitmap dst(2, 1);
    picture.Draw(dst, {0, 0, 2, 1});
    return std::vector<std::uint32_t>{dst.At(0, 0) & 0xFF, dst.At(1, 0) & 0xFF};
  };
  const std::vector<std::uint32_t> box{30, 100}, bilinear{90, 30};
  EXPECT_EQ(drawn({L"imgname=images/steps.png"}), bilinear);
  EXPECT_EQ(drawn({L"imgname=images/steps.png", L"imgsmooth=2"}), box);
  EXPECT_EQ(drawn({L"imgname=[img_steps]"}), box) << "the named picture's";
  EXPECT_EQ(drawn({L"imgname=[img_steps_again]"}), box) << "through two named pictures";
  EXPECT_EQ(drawn({L"imgname=[img_steps]", L"imgsmooth=1"}), bilinear) << "the descriptor's own wins";
  EXPECT_EQ(drawn({L"imgname=images/steps.png", L"imgsmooth=2", L"imgopt=1,0,1,0,1"}),
            (std::vector<std::uint32_t>{0, 240}))
      << "nine-slice at two pixels wide: only the two one-pixel margins are left";
}

TEST_F(DescriptorTest, DescriptorsShareOnePictureAndFollowTheSkin) {
  TRdgImage a(store), b(store), missing(store), later(store);
  later.SetValues(std::vector<std::wstring>{L"imgname=images/dark_only.png"});
  EXPECT_EQ(later.Width(), 0);
  a.SetValues(std::vector<std::wstring>{L"imgname=images/strip.png"});
  b.SetValues(std::vector<std::wstring>{L"imgname=images/strip.png", L"imgrect=0,0,10,10"});
  missing.SetValues(std::vector<std::wstring>{L"imgname=images/none.png"});
  EXPECT_EQ(a.Width(), 90);
  EXPECT_EQ(b.Width(), 10);
  EXPECT_EQ(store.LoadPicture(L"images/strip.png")->Image(), store.LoadPicture(L"images/strip.png")->Image())
      << "decoded once";
  EXPECT_EQ(missing.Width(), 0);
  Bitmap dst(4, 4);
  missing.Draw(dst, {0, 0, 4, 4});
  EXPECT_EQ(dst.At(1, 1), 0u);

  store.RegisterPackage(L"C:\\skin\\dark.rcc", false);
  EXPECT_EQ(a.Width(), 20) << "the dark skin's strip.png is the 20 x 20 frame";
  EXPECT_EQ(b.Width(), 10);
  EXPECT_EQ(later.Width(), 20) << "a picture the new skin brings is found";
  EXPECT_EQ(missing.Width(), 0);
}

}  // namespace
}  // namespace nudgelet::skin
