// The picture classes: attaching and change notification, PNG pictures,
// descriptors of skin pictures, picture formats, and drawing with margins.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "skin/DrawWithMargins.h"
#include "skin/FakeSkinFiles.h"
#include "skin/InProcessSource.h"
#include "skin/PictureFormats.h"
#include "skin/PngImage.h"
#include "skin/RdgImage.h"
#include "skin/TestPictures.h"

namespace nudgelet::skin {
namespace {

using ::testing::ElementsAre;
using namespace nudgelet::skin::testing;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A picture that only counts what it is told.
class Listener final : public TRdGraphic {
 public:
  int Width() override { return 0; }
  int Height() override { return 0; }
  void Draw(Bitmap&, const Rect&, int) override {}
  std::optional<PictureSource> Source() override { return std::nullopt; }
  int told = 0;

 protected:
  void AttachedChanged() override { ++told; }
};

TEST(RdGraphic, AttachedPicturesAreToldOfChangesAndOfTheEnd) {
  auto png = std::make_unique<TPngImage>(Framed());
  Listener a, b;
  a.AttachTo(png.get());
  b.AttachTo(png.get());
  EXPECT_EQ(png->Users().size(), 2u);
  png->SetOpacity(100);
  EXPECT_EQ(a.told, 1);
  EXPECT_EQ(b.told, 1);

  b.AttachTo(nullptr);
  png->SetSmoothing(SmoothFilter::Smooth);
  EXPECT_EQ(a.told, 2);
  EXPECT_EQ(b.told, 1) << "detached";

  {
    Listener shortLived;
    shortLived.AttachTo(png.get());
  }
  EXPECT_EQ(png->Users().size(), 1u) << "a user that goes leaves the list";

  Listener c;
  c.AttachTo(&a);
  a.AttachTo(&c);
  EXPECT_EQ(a.Attached(), png.get()) << "a loop of attachments is refused";

  png.reset();
  EXPECT_EQ(a.Attached(), nullptr);
  EXPECT_EQ(a.told, 3) << "told that its picture went away";
}

TEST(PngImage, DecodesAndDrawsWithItsOwnOpacityAndSmoothing) {
  TPngImage png;
  EXPECT_TRUE(png.Empty());
  EXPECT_TRUE(png.LoadFromPng(EncodePng(Steps())));
  EXPECT_EQ(png.Width(), 6);
  EXPECT_EQ(png.Height(), 1);
  EXPECT_EQ(png.Opacity(), 255);
  EXPECT_EQ(png.Smoothing(), SmoothFilter::Default);

  Bitmap plain(2, 1);
  png.Draw(plain, {0, 0, 2, 1});
  EXPECT_EQ(plain.At(0, 0), 0xFF5A5A5Au) << "bilinear: the middle of the first three";
  png.SetSmoothing(SmoothFilter::Smooth);
  Bitmap smooth(2, 1);
  png.Draw(smooth, {0, 0, 2, 1});
  EXPECT_EQ(smooth.At(0, 0), 0xFF1E1E1Eu) << "box: the average of the first three";

  png.SetOpacity(128);
  Bitmap faint(6, 1);
  png.Draw(faint, {0, 0, 6, 1}, 128);
  EXPECT_EQ(faint.At(5, 0) >> 24, 64u) << "128 x 128 / 255, rounded down";

  EXPECT_FALSE(png.LoadFromPng(Bytes("not a png")));
  EXPECT_TRUE(png.Empty()) << "what is no PNG leaves nothing of the old picture";
  EXPECT_FALSE(png.Source());
}

class PictureTest : public ::testing::Test {
 protected:
  PictureTest() {
    const auto framed = AsString(EncodePng(Framed()));
    files.Add(L"C:\\skin\\public.rcc",
              Package(u"public", {{u"main.ini",
                                   "[img_frame]\nclass=image\nimgname=images/framed.png\nimgalpha=200\nimgsmooth=2\n"
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
                             {u"images/strip.png", AsString(EncodePng(Strip(90, 30)))},
                             {u"images/framed.png", framed},
                             {u"images/steps.png", AsString(EncodePng(Steps()))}}));
    files.Add(L"C:\\skin\\dark.rcc",
              Package(u"dark", {{u"main.ini", "[img_edge]\nclass=image\nimgname=images/strip.png\n"},
                                {u"images/strip.png", framed},
                                {u"images/dark_only.png", framed}}));
    store.RegisterPackage(L"C:\\skin\\public.rcc", true);
    store.RegisterPackage(L"C:\\skin\\classic.rcc", false);
    RegisterSkinPictureFormats(formats, store);
  }

  // A descriptor of the given lines, living as long as the test.
  TRdgImage& Rdg(const std::vector<std::wstring>& lines) {
    auto& picture = *pictures.emplace_back(std::make_unique<TRdgImage>(store));
    picture.SetValues(lines);
    return picture;
  }

  MemoryFiles files;
  InProcessSource source{files};
  PackageStore store{source, files, L"C:\\skin"};
  PictureFormats formats;
  std::vector<std::unique_ptr<TRdgImage>> pictures;
};

TEST_F(PictureTest, DescriptorsTellTheirUsersAndCopyOutTheirPart) {
  TRdgImage picture(store);
  Listener user;
  user.AttachTo(&picture);
  picture.SetValues(std::vector<std::wstring>{L"imgname=[img_frame]", L"imgrect!=6,0,14,6"});
  EXPECT_EQ(user.told, 1);

  const auto part = picture.ToPngImage();
  ASSERT_EQ(part->Width(), 8);
  EXPECT_EQ(part->Height(), 6);
  EXPECT_EQ(part->Pixels().At(0, 0), kGreen) << "the top edge, not the corner";
  EXPECT_EQ(part->Opacity(), 200) << "the named picture's opacity";
  EXPECT_EQ(part->Smoothing(), SmoothFilter::Smooth);

  // Pixels are addressed within the part; the bitmap is the part drawn as it draws.
  EXPECT_EQ(picture.Pixel(0, 0), kGreen);
  EXPECT_EQ(picture.Pixel(8, 0), std::nullopt);
  EXPECT_EQ(picture.Pixel(-1, 0), std::nullopt);
  const Bitmap drawn = picture.ToBitmap();
  ASSERT_EQ(drawn.Width(), 8);
  EXPECT_EQ(drawn.At(0, 0) >> 24, (kGreen >> 24) * 200 / 255);

  picture.SetImgName(L"images/none.png");
  EXPECT_TRUE(picture.ToPngImage()->Empty()) << "nothing resolved, nothing copied";
  EXPECT_EQ(picture.Pixel(0, 0), std::nullopt);
  EXPECT_EQ(picture.ToBitmap().Width(), 0);
}

TEST_F(PictureTest, FilesAreReadByTheClassTheirExtensionNames) {
  const PictureFormat* png = formats.Find(L".png");
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->description, L"Png Image");
  ASSERT_NE(formats.Find(L"Rdg"), nullptr);
  EXPECT_EQ(formats.Find(L"RDG")->description, L"Rdg Image");

  const auto steps = EncodePng(Steps());
  auto loaded = formats.Load(L"C:\\art\\Steps.PnG", steps);
  ASSERT_TRUE(dynamic_cast<TPngImage*>(loaded.get()));
  EXPECT_EQ(loaded->Width(), 6);

  // Descriptor text as an editor saves it: UTF-8 with a byte-order mark, CR LF, blank lines.
  auto rdg = formats.Load(L"button.rdg", Bytes("\xEF\xBB\xBFimgname=images/framed.png\r\n\r\nimgrect=0,0,6,6\r\n"));
  auto* descriptor = dynamic_cast<TRdgImage*>(rdg.get());
  ASSERT_TRUE(descriptor);
  EXPECT_EQ(descriptor->ImgName(), L"images/framed.png");
  EXPECT_EQ(descriptor->Width(), 6);

  const auto message = [&](std::wstring_view path, const std::vector<std::uint8_t>& bytes) -> std::string {
    try {
      formats.Load(path, bytes);
    } catch (const EInvalidGraphic& e) {
      return e.what();
    }
    return "loaded";
  };
  EXPECT_EQ(message(L"C:\\art\\picture.XYZ", steps), "Unknown picture file extension (.xyz)");
  EXPECT_EQ(message(L"C:\\art.d\\picture", steps), "Unknown picture file extension (.)")
      << "a dot in a folder name is no extension";
  EXPECT_EQ(message(L"broken.png", Bytes("\x89PNG but no more")), "Not a valid PNG image");

  // Whatever else claims PNG files, they are read as TPngImage.
  formats.Register(L"png", L"Something else", [](const std::vector<std::uint8_t>&) -> std::unique_ptr<TRdGraphic> {
    return std::make_unique<Listener>();
  });
  EXPECT_EQ(formats.Find(L"PNG")->description, L"Something else") << "the later registration replaces";
  EXPECT_EQ(formats.Formats().size(), 2u);
  EXPECT_TRUE(dynamic_cast<TPngImage*>(formats.Load(L"a.png", steps).get()));

  formats.Unregister(L"rdg");
  EXPECT_EQ(message(L"button.rdg", {}), "Unknown picture file extension (.rdg)");

  files.Add(L"C:\\art\\steps.png", steps);
  EXPECT_EQ(formats.LoadFromFile(files, L"C:\\art\\steps.png")->Width(), 6);
  EXPECT_THROW(formats.LoadFromFile(files, L"C:\\art\\gone.png"), EInvalidGraphic);
}

TEST_F(PictureTest, StoredBinaryPicturesOfEveryPngClassNameReadAsPng) {
  const auto stored = [](const std::string& className, const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> data{static_cast<std::uint8_t>(className.size())};
    data.insert(data.end(), className.begin(), className.end());
    data.insert(data.end(), bytes.begin(), bytes.end());
    return data;
  };
  const auto steps = EncodePng(Steps());
  for (const std::string name : {"TPngImage", "TPNGGraphic", "TRdLitePng", "tpngimage"}) {
    const auto picture = formats.ReadStored(stored(name, steps));
    ASSERT_TRUE(dynamic_cast<TPngImage*>(picture.get())) << name;
    EXPECT_EQ(picture->Width(), 6) << name;
  }
  EXPECT_EQ(formats.ReadStored({}), nullptr);
  EXPECT_EQ(formats.ReadStored({0}), nullptr) << "no class name, no picture";
  EXPECT_THROW(formats.ReadStored(stored("TMetafile", steps)), EInvalidGraphic);
  EXPECT_THROW(formats.ReadStored({20, 'T', 'P'}), EInvalidGraphic) << "cut short";
  EXPECT_THROW(formats.ReadStored(stored("TPngImage", Bytes("junk"))), EInvalidGraphic);
}

TEST_F(PictureTest, DrawWithMarginsSlicesAnyPictureOrLetsItDrawItself) {
  const TDesignRect six{StretchMode::Stretch, 6, 6, 6, 6};
  TPngImage png(Framed(), 128);
  TRdgImage& descriptor = Rdg({L"imgname=images/framed.png", L"imgopt=6,6,6,6,1"});

  struct Case {
    const char* what;
    TRdGraphic* picture;
    std::optional<TDesignRect> margins;
    int opacity;
    // Pixels of a 130 × 32 target: a corner, the top edge's middle, the centre.
    std::uint32_t corner, edge, centre;
  };
  const std::vector<Case> cases = {
      {"opacity 0 draws nothing", &descriptor, six, 0, 0, 0, 0},
      {"no margins: the descriptor draws itself, with its own margins", &descriptor, std::nullopt, 255, kRed, kGreen,
       kWhite},
      {"margins all 0: the descriptor draws itself", &descriptor, TDesignRect{}, 255, kRed, kGreen, kWhite},
      {"no margins: a PNG is stretched whole, at its own opacity", &png, std::nullopt, 255, 0x80800000, 0x80008000,
       0x80808080},
      {"margins slice a PNG, opacities multiplied", &png, six, 128, 0x40400000, 0x40004000, 0x40404040},
      // Stretched, (64, 0) and (64, 16) would be edge and centre; tiled they
      // are (4, 0) and (4, 16) of the third tile, both in corners.
      {"margins 0 with Fill tile the whole picture", &png, TDesignRect{StretchMode::Fill, 0, 0, 0, 0}, 255, 0x80800000,
       0x80800000, 0x80800000},
  };
  for (const auto& c : cases) {
    Bitmap dst(130, 32);
    DrawWithMargins(dst, {0, 0, 130, 32}, *c.picture, c.margins, c.opacity);
    EXPECT_EQ(dst.At(0, 0), c.corner) << c.what;
    EXPECT_EQ(dst.At(64, 0), c.edge) << c.what;
    EXPECT_EQ(dst.At(64, 16), c.centre) << c.what;
  }

  Bitmap plain(130, 32);
  DrawWithMargins(plain, {0, 0, 130, 32}, Framed(), six);
  EXPECT_EQ(plain.At(5, 5), kRed) << "plain pixels slice the same way";
  EXPECT_EQ(plain.At(64, 16), kWhite);
}

TEST_F(PictureTest, ClipOpacityAndSize) {
  TRdgImage& whole = Rdg({L"imgname=images/strip.png"});
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

  TRdgImage& square = Rdg({L"imgname=images/strip.png", L"imgrect=0,0,30,30"});
  EXPECT_EQ(square.Width(), 30);
  Bitmap one(10, 10);
  square.Draw(one, {0, 0, 10, 10});
  EXPECT_EQ(one.At(9, 9), kRed) << "only the first square is drawn";

  TRdgImage& faint = Rdg({L"imgname=images/strip.png", L"imgalpha=x", L"imgrect=1,2"});
  EXPECT_EQ(faint.AlphaBlendValue(), -1) << "a bad opacity is not set";
  EXPECT_EQ(faint.Clip(), (Rect{1, 2, 0, 0})) << "missing numbers are 0";
  faint.SetValues(std::vector<std::wstring>{L"imgname=images/strip.png", L"imgalpha=51"});
  Bitmap half(3, 3);
  faint.Draw(half, {0, 0, 3, 3}, 128);
  EXPECT_EQ(half.At(0, 0) >> 24, 25u) << "51 x 128 / 255, rounded down";
}

TEST_F(PictureTest, LockedSettingsSurviveLaterLinesAndAreWrittenBack) {
  TRdgImage& picture = Rdg({L"imgname=images/framed.png", L"imgalpha!=128", L"imgopt!=6,6,6,6,2", L"SkinRcc=classic"});
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

TEST_F(PictureTest, NamedPicturesLendTheirSettings) {
  TRdgImage& picture = Rdg({L"imgname=[img_strip_left]", L"SkinRcc=classic"});
  EXPECT_EQ(picture.Width(), 30);
  EXPECT_EQ(picture.AlphaBlendValue(), 128);
  EXPECT_EQ(picture.ImgOpt(), (TDesignRect{StretchMode::Stretch, 2, 2, 2, 2}));
  EXPECT_EQ(LineValue(picture.Values(), L"tint"), L"blue");
  EXPECT_THAT(picture.ToLines(), ElementsAre(L"imgname=[img_strip_left]", L"SkinRcc=classic"))
      << "what the named picture gives is not written back";

  TRdgImage& own = Rdg({L"imgname=[img_strip_left]", L"imgrect!=30,0,60,30", L"imgalpha!=200"});
  EXPECT_EQ(own.Clip(), (Rect{30, 0, 60, 30}));
  EXPECT_EQ(own.Width(), 30);
  EXPECT_EQ(own.AlphaBlendValue(), 200);
  Bitmap dst(30, 30);
  own.Draw(dst, {0, 0, 30, 30});
  EXPECT_EQ(dst.At(15, 15), BlendOver(0, kGreen, 200)) << "the middle third of the strip, at its own opacity";

  EXPECT_EQ(Rdg({L"imgname=[img_loop]"}).Width(), 0) << "named pictures naming each other lead nowhere";
}

TEST_F(PictureTest, ANamedPictureGovernsWhatTheDescriptorDoesNotLock) {
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
    TRdgImage& picture = Rdg(c.lines);
    EXPECT_EQ(picture.Width(), c.width) << "case " << (&c - cases);
    EXPECT_EQ(picture.Clip(), c.clip) << "case " << (&c - cases);
    EXPECT_EQ(picture.AlphaBlendValue(), c.alpha) << "case " << (&c - cases);
    EXPECT_EQ(picture.ImgOpt(), c.margins) << "case " << (&c - cases);
  }

  // A new skin whose named picture has no margins takes the old skin's away.
  TRdgImage& edge = Rdg({L"imgname=[img_edge]", L"SkinRcc=classic"});
  EXPECT_EQ(edge.Width(), 20);
  EXPECT_EQ(edge.ImgOpt(), (TDesignRect{StretchMode::Stretch, 4, 4, 4, 4}));
  store.RegisterPackage(L"C:\\skin\\dark.rcc", false);
  EXPECT_EQ(edge.Width(), 20);
  EXPECT_TRUE(edge.ImgOpt().Empty());
}

TEST_F(PictureTest, SmoothingComesFromTheDescriptorElseItsNamedPictures) {
  const auto drawn = [&](const std::vector<std::wstring>& lines) {
    Bitmap dst(2, 1);
    Rdg(lines).Draw(dst, {0, 0, 2, 1});
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

TEST_F(PictureTest, DescriptorsShareOnePictureAndFollowTheSkin) {
  TRdgImage& later = Rdg({L"imgname=images/dark_only.png"});
  EXPECT_EQ(later.Width(), 0);
  TRdgImage& a = Rdg({L"imgname=images/strip.png"});
  TRdgImage& b = Rdg({L"imgname=images/strip.png", L"imgrect=0,0,10,10"});
  TRdgImage& missing = Rdg({L"imgname=images/none.png"});
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
