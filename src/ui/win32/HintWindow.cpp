#include "ui/win32/HintWindow.h"

#include <algorithm>

#include "ui/Canvas.h"

namespace nudgelet::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"NudgeletHint";
constexpr skin::Color kClInfoBk = 0xFF000018, kClInfoText = 0xFF000017, kClWindowFrame = 0xFF000006;
constexpr int kPadding = 4;

void RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DROPSHADOW;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

}  // namespace

HintWindow::HintWindow(UiContext& ui) : ui_(ui) {
  RegisterClassOnce();
  hwnd_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, 0, 0, 1, 1,
                            nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  }
}

HintWindow::~HintWindow() {
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

skin::FontDescription HintWindow::Font() const {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  skin::FontDescription font{-11, L"Tahoma", 0, 1, 0};
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font.height = metrics.lfStatusFont.lfHeight;
    font.name = metrics.lfStatusFont.lfFaceName;
  }
  return font;
}

void HintWindow::Show(const std::wstring& text, POINT screen) {
  if (!hwnd_) return;
  if (text.empty()) return Hide();
  text_ = text;
  // The text is the window's title too: screen readers and tools read it there.
  ::SetWindowTextW(hwnd_, text_.c_str());
  Canvas measure(nullptr, {}, ui_.Colors(), ui_.text);
  measure.SetFont(Font());
  Rect r{0, 0, 300, 0};
  measure.DrawString(text_, r, kDtCalcRect | kDtWordBreak | kDtNoPrefix);
  const int w = r.Width() + 2 * kPadding + 2, h = r.Height() + 2 * kPadding;
  // Kept on the screen that holds the point.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (::GetMonitorInfoW(::MonitorFromPoint(screen, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    screen.x = std::clamp<LONG>(screen.x, work.left, std::max<LONG>(work.left, work.right - w));
    if (screen.y + h > work.bottom) screen.y -= h + 24;
  }
  ::SetWindowPos(hwnd_, HWND_TOPMOST, screen.x, screen.y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void HintWindow::Hide() {
  text_.clear();
  if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

LRESULT CALLBACK HintWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<HintWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT:
      if (self) {
        self->Paint();
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

void HintWindow::Paint() {
  PAINTSTRUCT ps;
  const HDC dc = ::BeginPaint(hwnd_, &ps);
  RECT client;
  ::GetClientRect(hwnd_, &client);
  Bitmap bitmap(client.right, client.bottom);
  Canvas canvas(&bitmap, {0, 0}, ui_.Colors(), ui_.text);
  canvas.FillRect({0, 0, client.right, client.bottom}, kClInfoBk);
  canvas.FrameRect({0, 0, client.right, client.bottom}, kClWindowFrame);
  canvas.SetFont(Font());
  canvas.SetTextColor(kClInfoText);
  Rect r{kPadding + 1, kPadding, client.right - kPadding, client.bottom - kPadding};
  canvas.DrawString(text_, r, kDtWordBreak | kDtNoPrefix);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = bitmap.Width();
  info.bmiHeader.biHeight = -bitmap.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  ::SetDIBitsToDevice(dc, 0, 0, bitmap.Width(), bitmap.Height(), 0, 0, 0, bitmap.Height(), bitmap.Pixels().data(),
                      &info, DIB_RGB_COLORS);
  ::EndPaint(hwnd_, &ps);
}

}  // namespace nudgelet::ui::win32
