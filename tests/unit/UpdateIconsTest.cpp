#include <gtest/gtest.h>

#include "detection/UpdateIcons.h"
#include "support/FakePlatform.h"

namespace nudgelet::detection {
namespace {

class ColouredIcons final : public platform::FileIconSource {
 public:
  std::optional<Bitmap> FileIcon(const std::wstring& path, int index) const override {
    asked.push_back(path + L"#" + std::to_wstring(index));
    if (path.find(L"noicon") != std::wstring::npos) return std::nullopt;
    return Bitmap(32, 32, 0xFF000000u | static_cast<std::uint32_t>(index));
  }
  mutable std::vector<std::wstring> asked;
};

// A 1 x 1 32-bit icon file in hexadecimal: one opaque red pixel.
const wchar_t* const kRedIcon =
    L"000001000100010100000100200030000000160000002800000001000000020000000100200000000000000000000000000000000000"
    L"00000000000000000000FF0000FF00000000";

TEST(UpdateIcons, SlotsStayAlignedWhateverFails) {
  testing::FakePlatform f;
  f.files.AddFile(L"C:\\App\\app.exe", {'M', 'Z'});
  f.files.AddFile(L"C:\\App\\noicon.exe", {'M', 'Z'});
  ColouredIcons icons;
  const Bitmap defaultIcon(32, 32, 0xFFFFFFFFu);
  IconContext context{icons, f.files, f.system, L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\Nudgelet.exe",
                      defaultIcon};

  std::vector<TSoftViewInfo> candidates(5);
  candidates[0].DisplayIcon = L"\"C:\\App\\app.exe\",7";
  candidates[1].DisplayIcon = L"C:\\Gone\\gone.exe";   // missing file: empty slot
  candidates[2].DisplayIcon = L"C:\\App\\noicon.exe";  // no icon in it: empty slot
  candidates[3].Icon = kRedIcon;                       // from the database
  candidates[4].Icon = L"not hex";
  candidates[4].DisplayName = L"Broken";

  const auto list = LoadIcons(candidates, context);
  ASSERT_EQ(list.size(), 6u);
  EXPECT_EQ(list[0].At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(list[1].At(0, 0), 0xFF000007u);
  EXPECT_EQ(list[2].At(0, 0), 0u);
  EXPECT_EQ(list[3].At(0, 0), 0u);
  EXPECT_EQ(list[4].At(31, 31), 0xFFFF0000u);
  EXPECT_EQ(candidates[3].DisplayIcon, context.executablePath);
  EXPECT_EQ(list[5].At(0, 0), 0u);
  EXPECT_EQ(candidates[4].DisplayIcon, L"");
  EXPECT_EQ(f.system.debugOutput.back(), L"Failed load from datebase:Broken");
  EXPECT_EQ(icons.asked, (std::vector<std::wstring>{L"C:\\App\\app.exe#7", L"C:\\App\\noicon.exe#0"}));
}

}  // namespace
}  // namespace nudgelet::detection
