// Benchmarks of the skin engine's data side against the product's skins:
// loading the skin, resolving colours, decoding and drawing pictures.
#include <benchmark/benchmark.h>

#include "skin/LooseFiles.h"
#include "skin/NineSlice.h"
#include "skin/PackageStore.h"
#include "skin/RdgImage.h"
#include "skin/RegistrySource.h"

namespace {

using namespace nudgelet::skin;

const std::wstring kSkinDir = L"" NUDGELET_BENCH_SKIN_DIR;

struct Skin {
  DiskFiles disk;
  RegistrySource source{disk};
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
  const std::vector<std::wstring> names = {
      L"public_element.cl_window_bg_border", L"public_element.cl_window_content_bg",
      L"public_element.cl_window_listview_border", L"public_element.cl_listview_tr_normal",
      L"text_color.cl_text_b", L"text_color.cl_text_c", L"text_color.cl_text_d", L"text_color.cl_orange_c"};
  std::vector<Color> ids;
  for (const auto& n : names) ids.push_back(skin.store.Colors().IdentToColor(n));
  for (auto _ : state) {
    // What painting does: identifiers stored in properties, resolved each time.
    for (Color id : ids) benchmark::DoNotOptimize(skin.store.Colors().ColorToRGB(id));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(ids.size()));
}
BENCHMARK(BM_ResolveFormColours);

void BM_DecodeWindowPicture(benchmark::State& state) {
  Skin skin;
  const auto data = skin.store.ReadResource(L"images/img_window_update.png").value();
  for (auto _ : state) benchmark::DoNotOptimize(DecodePng(data));
}
BENCHMARK(BM_DecodeWindowPicture)->Unit(benchmark::kMicrosecond);

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
  const wchar_t* names[] = {L"topleft", L"top", L"topright", L"left", L"right", L"bottomleft", L"bottom", L"bottomright"};
  std::vector<std::unique_ptr<TRdgImage>> pictures;
  for (const wchar_t* n : names) {
    pictures.push_back(std::make_unique<TRdgImage>(skin.store));
    pictures.back()->SetValues(std::vector<std::wstring>{std::wstring(L"imgname=images/bg_shadow_") + n + L".png"});
  }
  const Rect places[] = {{0, 0, 10, 10},     {10, 0, 360, 10},    {360, 0, 370, 10},    {0, 10, 10, 464},
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
