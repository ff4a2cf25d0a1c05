// Benchmarks of the skin engine's data side against the product's skins:
// loading the skin, resolving colours, decoding and drawing pictures.
#include <benchmark/benchmark.h>

#include "platform/posix/PosixFileSystem.h"
#include "skin/ColorTable.h"
#include "skin/DrawWithMargins.h"
#include "skin/InProcessSource.h"
#include "skin/NineSlice.h"
#include "skin/PackageStore.h"
#include "skin/PngImage.h"
#include "skin/RdgImage.h"

namespace {

using namespace nudgelet::skin;

const std::wstring kSkinDir = L"" NUDGELET_BENCH_SKIN_DIR;

struct Skin {
  nudgelet::platform::posix::PosixFileSystem disk;
  InProcessSource source{disk};
  PackageStore store{source, disk, kSkinDir};
  Skin() {
    store.RegisterPackage(kSkinDir + L"/public.rcc", true);
    store.RegisterPackage(kSkinDir + L"/classic.rcc", false);
  }
};

void BM_RegisterAndLoadProductSkin(benchmark::State& state) {
  for (auto _ : state) {
    Skin skin;
    benchmark::DoNotOptimize(skin.store.SkinName());
  }
}
BENCHMARK(BM_RegisterAndLoadProductSkin)->Unit(benchmark::kMicrosecond);

void BM_ResolveFormColours(benchmark::State& state) {
  Skin skin;
  const std::vector<std::wstring> names = {L"public_element.cl_window_bg_border",
                                           L"public_element.cl_window_content_bg",
                                           L"public_element.cl_window_listview_border",
                                           L"public_element.cl_listview_tr_normal",
                                           L"text_color.cl_text_b",
                                           L"text_color.cl_text_c",
                                           L"text_color.cl_text_d",
                                           L"text_color.cl_orange_c"};
  std::vector<Color> ids;
  for (const auto& n : names) ids.push_back(skin.store.Colors().IdentToColor(n));
  for (auto _ : state) {
    // What painting does: identifiers stored in properties, resolved each time.
    for (Color id : ids) benchmark::DoNotOptimize(skin.store.Colors().ColorToRGB(id));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(ids.size()));
}
BENCHMARK(BM_ResolveFormColours);

// A colour section as long as a hostile skin makes it: loading must stay
// linear in its lines, whether every line names a colour of its own (0) or
// all of them name the same one (1).
void BM_LoadColourSection(benchmark::State& state) {
  std::vector<std::wstring> lines;
  for (std::int64_t i = 0; i < state.range(0); ++i) {
    lines.push_back(L"cl_" + std::to_wstring(state.range(1) ? 0 : i) + L"=#1F2A37");
  }
  for (auto _ : state) {
    ColorTable table;
    table.AddSection(L"text_color", lines);
    benchmark::DoNotOptimize(table.Defines(ColorIdOf(L"text_color.cl_0")));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadColourSection)
    ->ArgsProduct({{1000, 100000}, {0, 1}})
    ->ArgNames({"lines", "same"})
    ->Unit(benchmark::kMillisecond);

void BM_DecodeWindowPicture(benchmark::State& state) {
  Skin skin;
  const auto data = skin.store.ReadResource(L"images/img_window_update.png").value();
  for (auto _ : state) benchmark::DoNotOptimize(DecodePng(data));
}
BENCHMARK(BM_DecodeWindowPicture)->Unit(benchmark::kMicrosecond);

// Every PNG in both product packages, read once: decoding is what a skin
// change costs beyond reading the tables.
std::vector<std::vector<std::uint8_t>> ProductPictures(Skin& skin) {
  std::vector<std::vector<std::uint8_t>> out;
  std::vector<std::wstring> folders = {L":/public/", L":/classic/"};
  while (!folders.empty()) {
    const std::wstring folder = folders.back();
    folders.pop_back();
    const auto listing = skin.store.ListFolder(folder);
    for (auto name : listing.folders) {
      if (!name.empty() && name.back() == L'|') name.pop_back();
      folders.push_back(folder + name + L"/");
    }
    for (auto name : listing.files) {
      if (!name.empty() && name.back() == L'|') name.pop_back();
      if (name.size() < 4 || name.compare(name.size() - 4, 4, L".png") != 0) continue;
      if (auto bytes = skin.store.ReadResource(folder + name)) out.push_back(std::move(*bytes));
    }
  }
  return out;
}

void BM_DecodeEveryProductPicture(benchmark::State& state) {
  Skin skin;
  const auto pictures = ProductPictures(skin);
  if (pictures.empty()) state.SkipWithError("the product skins hold no pictures");
  for (auto _ : state) {
    for (const auto& data : pictures) benchmark::DoNotOptimize(DecodePng(data));
  }
  state.counters["pictures"] = static_cast<double>(pictures.size());
}
BENCHMARK(BM_DecodeEveryProductPicture)->Unit(benchmark::kMicrosecond);

// A 20 × 20 button picture with a frame of 6 pixels.
TPngImage FramedButton() {
  Bitmap b(20, 20);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool edge = x < 6 || x >= 14 || y < 6 || y >= 14;
      b.At(x, y) = edge ? 0xFF3A6EA5 : Premultiply(0xC0F0F4F8);
    }
  }
  return TPngImage(std::move(b));
}

// 10,000 nine-slice draws of a button a list row or a dialog shows: one
// iteration is all of them; "per_draw" is the time of one.
void BM_NineSliceButton10000(benchmark::State& state) {
  TPngImage button = FramedButton();
  button.SetSmoothing(static_cast<SmoothFilter>(state.range(0)));
  const TDesignRect margins{StretchMode::Stretch, 6, 6, 6, 6};
  Bitmap target(130, 32);
  constexpr int kDraws = 10000;
  for (auto _ : state) {
    for (int i = 0; i < kDraws; ++i) DrawWithMargins(target, {0, 0, 130, 32}, button, margins, 255);
    benchmark::DoNotOptimize(target.At(64, 16));
  }
  state.counters["per_draw"] = benchmark::Counter(static_cast<double>(state.iterations()) * kDraws,
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_NineSliceButton10000)->Arg(0)->Arg(1)->Arg(2)->ArgName("filter")->Unit(benchmark::kMillisecond);

// Resampling cost by filter, at the same 130 × 32 output: shrinking a
// 400 × 100 picture (bilinear by default and with fast smoothing, area
// averaging with smoothing), and enlarging a 20 × 20 one, which without
// smoothing is nearest-neighbour.
void BM_Resample(benchmark::State& state) {
  const bool shrink = state.range(0) != 0;
  const auto filter = static_cast<SmoothFilter>(state.range(1));
  Bitmap source(shrink ? 400 : 20, shrink ? 100 : 20);
  for (int y = 0; y < source.Height(); ++y) {
    for (int x = 0; x < source.Width(); ++x) {
      source.At(x, y) = Premultiply(0xFF000000 | static_cast<std::uint32_t>(x * 2654435761u ^ y * 40503u));
    }
  }
  Bitmap target(130, 32);
  const Rect whole{0, 0, source.Width(), source.Height()};
  for (auto _ : state) {
    DrawScaled(target, {0, 0, 130, 32}, source, whole, 255, filter);
    benchmark::DoNotOptimize(target.At(64, 16));
  }
  state.SetItemsProcessed(state.iterations() * 130 * 32);
}
BENCHMARK(BM_Resample)
    ->ArgNames({"shrink", "filter"})
    ->Args({1, 2})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_DrawButtonNineSlice(benchmark::State& state) {
  Skin skin;
  TRdgImage button(skin.store);
  button.SetValues(std::vector<std::wstring>{L"imgname=images/btn_colours_normal.png", L"imgopt=6,6,6,6,1"});
  Bitmap target(200, 40);
  for (auto _ : state) {
    button.Draw(target, {0, 0, 200, 40});
    benchmark::DoNotOptimize(target.At(100, 20));
  }
}
BENCHMARK(BM_DrawButtonNineSlice)->Unit(benchmark::kMicrosecond);

void BM_DrawShadowFrame(benchmark::State& state) {
  Skin skin;
  const wchar_t* names[] = {L"topleft", L"top",        L"topright", L"left",
                            L"right",   L"bottomleft", L"bottom",   L"bottomright"};
  std::vector<std::unique_ptr<TRdgImage>> pictures;
  for (const wchar_t* n : names) {
    pictures.push_back(std::make_unique<TRdgImage>(skin.store));
    pictures.back()->SetValues(std::vector<std::wstring>{std::wstring(L"imgname=images/bg_shadow_") + n + L".png"});
  }
  const Rect places[] = {{0, 0, 10, 10},      {10, 0, 360, 10},  {360, 0, 370, 10},   {0, 10, 10, 464},
                         {360, 10, 370, 464}, {0, 464, 10, 474}, {10, 464, 360, 474}, {360, 464, 370, 474}};
  Bitmap window(370, 474);
  for (auto _ : state) {
    for (std::size_t i = 0; i < pictures.size(); ++i) pictures[i]->Draw(window, places[i]);
    benchmark::DoNotOptimize(window.At(0, 0));
  }
}
BENCHMARK(BM_DrawShadowFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
