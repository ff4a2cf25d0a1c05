#include "skin/win32/FontHandle.h"

#include <cwchar>

namespace nudgelet::skin::win32 {

platform::win32::UniqueFont CreateFontFor(const FontDescription& description) {
  LOGFONTW font{};
  font.lfHeight = description.height;
  font.lfWeight = (description.style & fsBold) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (description.style & fsItalic) ? TRUE : FALSE;
  font.lfUnderline = (description.style & fsUnderline) ? TRUE : FALSE;
  font.lfStrikeOut = (description.style & fsStrikeOut) ? TRUE : FALSE;
  font.lfCharSet = static_cast<BYTE>(description.charset);
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = static_cast<BYTE>(description.quality);
  font.lfPitchAndFamily = DEFAULT_PITCH;
  // Face names longer than LOGFONT holds are cut, as the system would.
  std::wcsncpy(font.lfFaceName, description.name.c_str(), LF_FACESIZE - 1);
  return platform::win32::UniqueFont(::CreateFontIndirectW(&font));
}

HFONT FontHandle::For(const TRdFont& font) {
  const FontDescription wanted = font.Describe();
  if (!valid_ || !(wanted == made_)) {
    handle_ = CreateFontFor(wanted);
    made_ = wanted;
    valid_ = true;
  }
  return handle_.Get();
}

}  // namespace nudgelet::skin::win32
