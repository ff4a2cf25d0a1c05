// The picture classes: attaching and change notification, standalone PNG
// pictures, the registry of picture formats, and drawing with margins.
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

using namespace nudgelet::skin::testing;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Six grey steps in a row: shrunk to two, a box filter and bilinear differ.
Bitmap Steps() {
  Bitmap b(6, 1);
  const std::uint32_t levels[] = {0, 90, 0, 30, 30, 240};
  for (int x = 0; x < 6; ++x) b.At(x, 0) = 0xFF000000 | levels[x] * 0x010101;
  return b;
}

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
    files.Add(L"C:\\skin\\public.rcc",
              Package(u"public", {{u"main.ini",
                                   "[img_frame]\nclass=image\nimgname=images/framed.png\nimgalpha=200\n"
                                   "imgsmooth=2\n"}}));
    files.Add(L"C:\\skin\\classic.rcc", Package(u"classic", {{u"main.ini", "[x]\n"},
                                                             {u"images/framed.png", AsString(EncodePng(Framed()))},
                                                             {u"images/steps.png", AsString(EncodePng(Steps()))}}));
    store.RegisterPackage(L"C:\\skin\\public.rcc", true);
    store.RegisterPackage(L"C:\\skin\\classic.rcc", false);
    RegisterSkinPictureFormats(formats, store);
  }

  MemoryFiles files;
  InProcessSource source{files};
  PackageStore store{source, files, L"C:\\skin"};
  PictureFormats formats;
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
  TRdgImage descriptor(store);
  descriptor.SetValues(std::vector<std::wstring>{L"imgname=images/framed.png", L"imgopt=6,6,6,6,1"});

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

}  // namespace
}  // namespace nudgelet::skin
