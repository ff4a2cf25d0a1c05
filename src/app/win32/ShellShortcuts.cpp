#include "app/win32/ShellShortcuts.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "platform/win32/Handles.h"

namespace nudgelet::app::win32 {
namespace {

template <class T>
struct Com {
  T* p = nullptr;
  ~Com() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
};

std::wstring HresultText(const wchar_t* step, HRESULT hr) {
  wchar_t text[64];
  std::swprintf(text, 64, L"%ls failed (0x%08lX)", step, static_cast<unsigned long>(hr));
  return text;
}

// Writes an icon as an .ico file with one 32-bit image.
bool WriteIconFile(HICON icon, const std::wstring& path) {
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return false;
  platform::win32::UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  if (!color || !::GetObjectW(color.Get(), sizeof bm, &bm)) return false;
  const int w = bm.bmWidth, h = bm.bmHeight;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;  // bottom-up, as icon files keep their rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4);
  const HDC dc = ::GetDC(nullptr);
  const int rows = ::GetDIBits(dc, color.Get(), 0, h, pixels.data(), &bi, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, dc);
  if (rows != h) return false;
  const std::size_t maskStride = ((static_cast<std::size_t>(w) + 31) / 32) * 4;
  std::vector<std::uint8_t> andMask(maskStride * h, 0);  // alpha carries the shape
  BITMAPINFOHEADER header = bi.bmiHeader;
  header.biHeight = h * 2;
  header.biSizeImage = static_cast<DWORD>(pixels.size() + andMask.size());
  const std::uint32_t imageBytes = static_cast<std::uint32_t>(sizeof header + header.biSizeImage);
  std::vector<std::uint8_t> file;
  auto put16 = [&](std::uint16_t v) { file.push_back(v & 0xFF), file.push_back(v >> 8); };
  auto put32 = [&](std::uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
  put16(0), put16(1), put16(1);
  file.push_back(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
  file.push_back(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
  file.push_back(0), file.push_back(0);
  put16(1), put16(32), put32(imageBytes), put32(6 + 16);
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&header);
  file.insert(file.end(), raw, raw + sizeof header);
  file.insert(file.end(), pixels.begin(), pixels.end());
  file.insert(file.end(), andMask.begin(), andMask.end());
  std::ofstream out(path.c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

std::vector<std::wstring> ShellShortcuts::FindShortcuts(const std::wstring& folder) {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileW((folder + L"*.lnk").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return found;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) found.push_back(folder + data.cFileName);
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return found;
}

std::optional<ShortcutRecord> ShellShortcuts::Read(const std::wstring& path, std::wstring& error) {
  Com<IShellLinkW> link;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link.p));
  if (FAILED(hr)) return error = HresultText(L"CoCreateInstance", hr), std::nullopt;
  Com<IPersistFile> file;
  hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
  if (FAILED(hr)) return error = HresultText(L"QueryInterface", hr), std::nullopt;
  hr = file->Load(path.c_str(), STGM_READ);
  if (FAILED(hr)) return error = HresultText(L"Load", hr), std::nullopt;
  ShortcutRecord r;
  wchar_t text[MAX_PATH * 4];
  WIN32_FIND_DATAW data;
  if (SUCCEEDED(link->GetPath(text, MAX_PATH * 4, &data, SLGP_RAWPATH))) r.target = text;
  if (SUCCEEDED(link->GetDescription(text, MAX_PATH * 4))) r.description = text;
  if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 4))) r.workingFolder = text;
  if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 4))) r.arguments = text;
  int index = 0;
  if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH * 4, &index))) r.iconPath = text, r.iconIndex = index;
  int show = SW_SHOWNORMAL;
  if (SUCCEEDED(link->GetShowCmd(&show))) r.showCommand = show;
  WORD hotKey = 0;
  if (SUCCEEDED(link->GetHotkey(&hotKey))) r.hotKey = hotKey;
  return r;
}

bool ShellShortcuts::Write(const std::wstring& path, const ShortcutRecord& r, std::wstring& error) {
  Com<IShellLinkW> link;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link.p));
  if (FAILED(hr)) return error = HresultText(L"CoCreateInstance", hr), false;
  Com<IPersistFile> file;
  hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
  if (FAILED(hr)) return error = HresultText(L"QueryInterface", hr), false;
  // Loaded first, so whatever the record does not name stays as it was.
  if (FAILED(hr = file->Load(path.c_str(), STGM_READWRITE))) return error = HresultText(L"Load", hr), false;
  link->SetPath(r.target.c_str());
  link->SetDescription(r.description.c_str());
  link->SetWorkingDirectory(r.workingFolder.c_str());
  link->SetArguments(r.arguments.c_str());
  link->SetIconLocation(r.iconPath.c_str(), r.iconIndex);
  link->SetShowCmd(r.showCommand);
  link->SetHotkey(static_cast<WORD>(r.hotKey));
  if (FAILED(hr = file->Save(path.c_str(), TRUE))) return error = HresultText(L"Save", hr), false;
  return true;
}

std::wstring ShellShortcuts::LongPath(const std::wstring& path) {
  using GetLongPathNameFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);
  static const auto getLong = reinterpret_cast<GetLongPathNameFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"Kernel32.dll"), "GetLongPathNameW")));
  if (!getLong) return path;
  std::wstring out(MAX_PATH * 4, L'\0');
  const DWORD n = getLong(path.c_str(), out.data(), static_cast<DWORD>(out.size()));
  if (n == 0 || n >= out.size()) return path;
  out.resize(n);
  return out;
}

void ShellShortcuts::NotifyAssociationsChanged() {
  ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

bool ShellShortcuts::SaveProgramIcon(const std::wstring& program, const std::wstring& iconFile) {
  SHFILEINFOW info{};
  if (!::SHGetFileInfoW(program.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                        SHGFI_ICON | SHGFI_USEFILEATTRIBUTES) ||
      !info.hIcon) {
    return false;
  }
  const bool saved = WriteIconFile(info.hIcon, iconFile);
  ::DestroyIcon(info.hIcon);
  return saved;
}

}  // namespace nudgelet::app::win32
