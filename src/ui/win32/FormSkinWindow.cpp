#include "ui/win32/FormSkinWindow.h"

#include <windowsx.h>

namespace nudgelet::ui::win32 {
namespace {

#ifndef WM_DWMCOMPOSITIONCHANGED
#define WM_DWMCOMPOSITIONCHANGED 0x031E
#endif
#ifndef WM_DWMNCRENDERINGCHANGED
#define WM_DWMNCRENDERINGCHANGED 0x031F
#endif

struct Margins {
  int left, right, top, bottom;
};
using IsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
using ExtendFrameFn = HRESULT(WINAPI*)(HWND, const Margins*);

HMODULE DwmLibrary() {
  static const HMODULE module = ::LoadLibraryW(L"dwmapi.dll");
  return module;
}

template <class F>
F DwmFunction(const char* name) {
  const HMODULE module = DwmLibrary();
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

}  // namespace

Win32FormSkinWindow::Dwm Win32FormSkinWindow::SystemDwm() {
  Dwm dwm;
  dwm.compositionEnabled = [] {
    static const auto query = DwmFunction<IsCompositionEnabledFn>("DwmIsCompositionEnabled");
    BOOL enabled = FALSE;
    return query && SUCCEEDED(query(&enabled)) && enabled;
  };
  dwm.extendFrame = [](HWND hwnd, const Rect& m) {
    static const auto extend = DwmFunction<ExtendFrameFn>("DwmExtendFrameIntoClientArea");
    const Margins margins{m.left, m.right, m.top, m.bottom};
    if (extend) extend(hwnd, &margins);
  };
  return dwm;
}

Win32FormSkinWindow::Win32FormSkinWindow(NativeWindow& window, TRdFormSkin& skin, Dwm dwm)
    : window_(window), skin_(skin), dwm_(std::move(dwm)) {
  window_.SetMessageFilter({[this](UINT m, WPARAM w, LPARAM l) { return Before(m, w, l); },
                            [this](UINT m, WPARAM, LPARAM) { After(m); }});
  skin_.AttachWindow(this);
}

Win32FormSkinWindow::~Win32FormSkinWindow() {
  skin_.AttachWindow(nullptr);
  window_.SetMessageFilter({});
}

bool Win32FormSkinWindow::CompositionEnabled() { return dwm_.compositionEnabled && dwm_.compositionEnabled(); }

void Win32FormSkinWindow::SetGlassFrame(const Rect& margins) {
  if (dwm_.extendFrame) dwm_.extendFrame(window_.Handle(), margins);
}

void Win32FormSkinWindow::SetRoundRegion(int width, int height, int ellipseWidth, int ellipseHeight) {
  const Scale& s = window_.Control().Ui().scale;
  const HRGN region = ::CreateRoundRectRgn(0, 0, s.ToDevice(width), s.ToDevice(height), s.ToDevice(ellipseWidth),
                                           s.ToDevice(ellipseHeight));
  // The window owns a region it accepted; one it refused is still ours.
  if (region && !::SetWindowRgn(window_.Handle(), region, TRUE)) ::DeleteObject(region);
}

bool Win32FormSkinWindow::Maximized() { return ::IsZoomed(window_.Handle()) != FALSE; }

void Win32FormSkinWindow::Repaint() {
  ::RedrawWindow(window_.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

std::optional<LRESULT> Win32FormSkinWindow::Before(UINT message, WPARAM, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_GETMINMAXINFO:
      skin_.MinMaxInfo();
      return std::nullopt;
    case WM_NCHITTEST: {
      RECT bounds;
      ::GetWindowRect(window_.Handle(), &bounds);
      const Scale& s = window_.Control().Ui().scale;
      const Rect form{s.ToLogical(bounds.left), s.ToLogical(bounds.top), s.ToLogical(bounds.right),
                      s.ToLogical(bounds.bottom)};
      const Point at{s.ToLogical(GET_X_LPARAM(lparam)), s.ToLogical(GET_Y_LPARAM(lparam))};
      if (skin_.PassesHitThrough(at, form)) return HTTRANSPARENT;
      return std::nullopt;
    }
    case WM_QUERYENDSESSION:
      return 1;
    default:
      return std::nullopt;
  }
}

void Win32FormSkinWindow::After(UINT message) {
  switch (message) {
    case WM_SIZE:
      // The size query can come before the window counts as maximised; the
      // size that follows always comes after.
      skin_.MinMaxInfo();
      skin_.Sized();
      break;
    case WM_DWMCOMPOSITIONCHANGED:
    case WM_DWMNCRENDERINGCHANGED:
      skin_.CompositionChanged();
      break;
    default:
      break;
  }
}

}  // namespace nudgelet::ui::win32
