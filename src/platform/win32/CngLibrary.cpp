#include "platform/win32/CngLibrary.h"

#include <string>

namespace nudgelet::platform::win32 {
namespace {

// From the system folder only: a bcrypt.dll beside the program is not the system's.
HMODULE LoadSystemCng() {
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return ::LoadLibraryW((std::wstring(folder, length) + L"\\bcrypt.dll").c_str());
}

template <typename Function>
bool Bind(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
  return function != nullptr;
}

}  // namespace

const CngFunctions* Cng() {
  static const CngFunctions* const functions = []() -> const CngFunctions* {
    const HMODULE module = LoadSystemCng();
    if (!module) return nullptr;
    static CngFunctions f{};
    const bool bound = Bind(module, "BCryptOpenAlgorithmProvider", f.OpenAlgorithmProvider) &&
                       Bind(module, "BCryptCloseAlgorithmProvider", f.CloseAlgorithmProvider) &&
                       Bind(module, "BCryptSetProperty", f.SetProperty) &&
                       Bind(module, "BCryptGenerateSymmetricKey", f.GenerateSymmetricKey) &&
                       Bind(module, "BCryptDestroyKey", f.DestroyKey) && Bind(module, "BCryptEncrypt", f.Encrypt) &&
                       Bind(module, "BCryptDecrypt", f.Decrypt) && Bind(module, "BCryptCreateHash", f.CreateHash) &&
                       Bind(module, "BCryptHashData", f.HashData) && Bind(module, "BCryptFinishHash", f.FinishHash) &&
                       Bind(module, "BCryptDestroyHash", f.DestroyHash) && Bind(module, "BCryptGenRandom", f.GenRandom);
    return bound ? &f : nullptr;
  }();
  return functions;
}

}  // namespace nudgelet::platform::win32
