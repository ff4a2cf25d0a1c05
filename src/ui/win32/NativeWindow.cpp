#include "ui/win32/NativeWindow.h"

#include <windowsx.h>

#include <exception>
#include <utility>

#include "ui/Panel.h"

namespace nudgelet::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"NudgeletWindow";

unsigned ShiftOf(WPARAM wparam) {
  unsigned shift = 0;
  if (wparam & MK_SHIFT) shift |= kSsShift;
  if (wparam & MK_CONTROL) shift |= kSsCtrl;
  if (wparam & MK_LBUTTON) shift |= kSsLeft;
  if (wparam & MK_RBUTTON) shift |= kSsRight;
  if (wparam & MK_MBUTTON) shift |= kSsMiddle;
  if (::GetKeyState(VK_MENU) < 0) shift |= kSsAlt;
  return shift;
}

unsigned KeyShift() {
  unsigned shift = 0;
  if (::GetKeyState(VK_SHIFT) < 0) shift |= kSsShift;
  if (::GetKeyState(VK_CONTROL) < 0) shift |= kSsCtrl;
  if (::GetKeyState(VK_MENU) < 0) shift |= kSsAlt;
  return shift;
}

// An exception must not unwind through the system's code: it waits here
// until the message loop can pass it on.
std::exception_ptr& Pending() {
  static std::exception_ptr pending;
  return pending;
}

}  // namespace

void RethrowPendingException() {
  if (auto e = std::exchange(Pending(), nullptr)) std::rethrow_exception(e);
}

HCURSOR CursorFor(int cursor) {
  const wchar_t* id = IDC_ARROW;
  switch (cursor) {
    case crHandPoint:
      id = IDC_HAND;
      break;
    case crSizeAll:
      id = IDC_SIZEALL;
      break;
    default:
      break;
  }
  return ::LoadCursorW(nullptr, id);
}

NativeWindow::TopLevelStyle NativeWindow::StyleOf(const TWinControl& control) {
  TopLevelStyle s;
  const auto* form = dynamic_cast<const TForm*>(&control);
  if (!form) return s;
  switch (form->BorderStyle()) {
    case TFormBorderStyle::bsNone:
      s.style = WS_POPUP;
      break;
    case TFormBorderStyle::bsSingle:
      s.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
      break;
    case TFormBorderStyle::bsSizeable:
      s.style = WS_OVERLAPPEDWINDOW;
      break;
    case TFormBorderStyle::bsDialog:
      s.style = WS_CAPTION | WS_SYSMENU;
      s.exStyle = WS_EX_DLGMODALFRAME;
      break;
    case TFormBorderStyle::bsToolWindow:
      s.style = WS_CAPTION | WS_SYSMENU;
      s.exStyle = WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::bsSizeToolWin:
      s.style = WS_OVERLAPPEDWINDOW;
      s.exStyle = WS_EX_TOOLWINDOW;
      break;
  }
  if (form->FormStyle() == TFormStyle::fsStayOnTop) s.exStyle |= WS_EX_TOPMOST;
  s.style |= WS_CLIPCHILDREN;
  return s;
}

NativeWindow::NativeWindow(TWinControl& control) : control_(control) {}

std::unique_ptr<NativeWindow> NativeWindow::Create(TWinControl& control, HWND owner) {
  const TopLevelStyle s = StyleOf(control);
  return Create(control, owner, s.style, s.exStyle);
}

std::unique_ptr<NativeWindow> NativeWindow::Create(TWinControl& control, HWND owner, DWORD topStyle, DWORD topExStyle) {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &NativeWindow::Procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc);
  }();
  if (!atom) return nullptr;
  std::unique_ptr<NativeWindow> window(new NativeWindow(control));
  TWinControl* parent = control.Parent() ? control.Parent()->Window() : nullptr;
  auto* parentWindow = parent ? dynamic_cast<NativeWindow*>(parent->Host()) : nullptr;
  const Rect place = window->DeviceRect(window->PlacementInParent());
  DWORD style = 0, exStyle = 0;
  RECT outer{place.left, place.top, place.right, place.bottom};
  if (parentWindow) {
    style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (control.Visible() ? WS_VISIBLE : 0);
  } else {
    style = topStyle;
    exStyle = topExStyle;
    ::AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  }
  const HWND created =
      ::CreateWindowExW(exStyle, kClassName, control.Caption().c_str(), style, outer.left, outer.top,
                        outer.right - outer.left, outer.bottom - outer.top, parentWindow ? parentWindow->hwnd_ : owner,
                        nullptr, ::GetModuleHandleW(nullptr), window.get());
  if (!created) return nullptr;
  control.AttachHost(window.get());
  control.ClearPendingInvalid();
  // The windowed controls below, wherever they sit in the tree.
  std::vector<TControl*> stack;
  for (const auto& c : control.Controls()) stack.push_back(c.get());
  while (!stack.empty()) {
    TControl* c = stack.back();
    stack.pop_back();
    if (c->Windowed()) {
      if (auto child = Create(static_cast<TWinControl&>(*c))) window->children_.push_back(std::move(child));
      continue;
    }
    for (const auto& inner : c->Controls()) stack.push_back(inner.get());
  }
  return window;
}

NativeWindow::~NativeWindow() {
  children_.clear();
  hint_.reset();
  if (control_.Host() == this) control_.AttachHost(nullptr);
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

Rect NativeWindow::PlacementInParent() const {
  if (control_.Parent()) {
    const Point at = control_.Parent()->PositionInWindow();
    return Offset(control_.BoundsRect(), at.x, at.y);
  }
  return control_.BoundsRect();
}

Rect NativeWindow::DeviceRect(const Rect& r) const {
  const Scale& s = control_.Ui().scale;
  return {s.ToDevice(r.left), s.ToDevice(r.top), s.ToDevice(r.right), s.ToDevice(r.bottom)};
}

Point NativeWindow::ClientPoint(LPARAM lparam) const {
  const Scale& s = control_.Ui().scale;
  return {s.ToLogical(GET_X_LPARAM(lparam)), s.ToLogical(GET_Y_LPARAM(lparam))};
}

LRESULT CALLBACK NativeWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<NativeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<NativeWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return ::DefWindowProcW(hwnd, message, wparam, lparam);
  }
  try {
    if (self->filter_.before) {
      if (const std::optional<LRESULT> answer = self->filter_.before(message, wparam, lparam)) return *answer;
    }
    const LRESULT result = self->Handle(message, wparam, lparam);
    // The window may be gone by now (WM_NCDESTROY cleared it).
    if (self->filter_.after && ::GetWindowLongPtrW(hwnd, GWLP_USERDATA)) self->filter_.after(message, wparam, lparam);
    return result;
  } catch (...) {
    if (!Pending()) Pending() = std::current_exception();
    return 0;
  }
}

LRESULT NativeWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  ControlRoot& root = control_.Root();
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        tracking_ = ::TrackMouseEvent(&track) != FALSE;
      }
      root.MouseMove(ShiftOf(wparam), ClientPoint(lparam));
      return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      root.MouseLeave();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      root.MouseDown(MouseButton::Left, ShiftOf(wparam), ClientPoint(lparam), message == WM_LBUTTONDBLCLK);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      root.MouseDown(MouseButton::Right, ShiftOf(wparam), ClientPoint(lparam), message == WM_RBUTTONDBLCLK);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      root.MouseDown(MouseButton::Middle, ShiftOf(wparam), ClientPoint(lparam), message == WM_MBUTTONDBLCLK);
      return 0;
    case WM_LBUTTONUP:
      root.MouseUp(MouseButton::Left, ShiftOf(wparam), ClientPoint(lparam));
      return 0;
    case WM_RBUTTONUP:
      root.MouseUp(MouseButton::Right, ShiftOf(wparam), ClientPoint(lparam));
      return 0;
    case WM_MBUTTONUP:
      root.MouseUp(MouseButton::Middle, ShiftOf(wparam), ClientPoint(lparam));
      return 0;
    case WM_MOUSEWHEEL: {
      POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      ::ScreenToClient(hwnd_, &p);
      const Scale& s = control_.Ui().scale;
      root.MouseWheel(GET_WHEEL_DELTA_WPARAM(wparam), ShiftOf(GET_KEYSTATE_WPARAM(wparam)),
                      {s.ToLogical(p.x), s.ToLogical(p.y)});
      return 0;
    }
    case WM_CAPTURECHANGED:
      // Only a capture taken away counts, not one the root gave back.
      if (!releasing_ && reinterpret_cast<HWND>(lparam) != hwnd_) root.CaptureLost();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT) {
        ::SetCursor(CursorFor(cursor_));
        return TRUE;
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (root.KeyDown(static_cast<unsigned>(wparam), KeyShift())) return 0;
      break;
    case WM_SIZE:
      if (!control_.Parent() && wparam != SIZE_MINIMIZED) {
        const Scale& s = control_.Ui().scale;
        control_.SetBounds(control_.Left(), control_.Top(), s.ToLogical(LOWORD(lparam)), s.ToLogical(HIWORD(lparam)));
      }
      return 0;
    case WM_CLOSE:
      if (auto* form = dynamic_cast<TForm*>(&control_); form && form->onClose) form->onClose(*form);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, message, wparam, lparam);
}

void NativeWindow::Paint() {
  PAINTSTRUCT ps;
  const HDC dc = ::BeginPaint(hwnd_, &ps);
  const Scale& s = control_.Ui().scale;
  const Rect area{s.ToLogical(ps.rcPaint.left), s.ToLogical(ps.rcPaint.top), s.ToLogical(ps.rcPaint.right),
                  s.ToLogical(ps.rcPaint.bottom)};
  if (!area.Empty()) {
    Bitmap bitmap(area.Width(), area.Height());
    control_.PaintWindow(bitmap, area);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bitmap.Width();
    info.bmiHeader.biHeight = -bitmap.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, ps.rcPaint.left, ps.rcPaint.top, bitmap.Width(), bitmap.Height(), 0, 0, 0, bitmap.Height(),
                        bitmap.Pixels().data(), &info, DIB_RGB_COLORS);
  }
  ::EndPaint(hwnd_, &ps);
  ++paints_;
}

void NativeWindow::Invalidate(const Rect& area) {
  if (!hwnd_) return;
  const Rect d = DeviceRect(area);
  const RECT r{d.left, d.top, d.right, d.bottom};
  ::InvalidateRect(hwnd_, &r, FALSE);
}

void NativeWindow::SetCapture(bool capture) {
  if (!hwnd_) return;
  if (capture) {
    ::SetCapture(hwnd_);
  } else if (::GetCapture() == hwnd_) {
    releasing_ = true;
    ::ReleaseCapture();
    releasing_ = false;
  }
}

void NativeWindow::SetCursor(int cursor) {
  if (cursor_ == cursor) return;
  cursor_ = cursor;
  POINT p;
  RECT client;
  if (hwnd_ && ::GetCursorPos(&p) && ::ScreenToClient(hwnd_, &p) && ::GetClientRect(hwnd_, &client) &&
      ::PtInRect(&client, p)) {
    ::SetCursor(CursorFor(cursor));
  }
}

void NativeWindow::ShowHint(const std::wstring& text, Point at) {
  if (text.empty()) {
    if (hint_) hint_->Hide();
    return;
  }
  if (!hint_) hint_ = std::make_unique<HintWindow>(control_.Ui());
  const Scale& s = control_.Ui().scale;
  POINT p{s.ToDevice(at.x), s.ToDevice(at.y)};
  ::ClientToScreen(hwnd_, &p);
  hint_->Show(text, p);
}

void NativeWindow::BoundsChanged() {
  if (!hwnd_) return;
  const Rect place = DeviceRect(PlacementInParent());
  RECT outer{place.left, place.top, place.right, place.bottom};
  if (!control_.Parent()) {
    ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  }
  RECT now;
  ::GetWindowRect(hwnd_, &now);
  if (control_.Parent()) ::MapWindowPoints(nullptr, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&now), 2);
  if (now.left == outer.left && now.top == outer.top && now.right == outer.right && now.bottom == outer.bottom) return;
  ::SetWindowPos(hwnd_, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeWindow::VisibilityChanged() {
  if (!hwnd_ || !control_.Parent()) return;  // a top-level window is shown by its owner
  ::ShowWindow(hwnd_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
}

bool NativeWindow::HasFocus() { return hwnd_ && ::GetFocus() == hwnd_; }

void NativeWindow::TakeFocus() {
  if (hwnd_) ::SetFocus(hwnd_);
}

}  // namespace nudgelet::ui::win32
