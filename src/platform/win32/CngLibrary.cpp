#include "platform/win32/CngLibrary.h"

#include "platform/win32/SystemLibrary.h"

namespace nudgelet::platform::win32 {

const CngFunctions* Cng() {
  static const CngFunctions* const functions = []() -> const CngFunctions* {
    const HMODULE m = LoadSystemLibrary(L"bcrypt.dll");
    static CngFunctions f{};
    const bool bound = m && BindExport(m, "BCryptOpenAlgorithmProvider", f.OpenAlgorithmProvider) &&
                       BindExport(m, "BCryptCloseAlgorithmProvider", f.CloseAlgorithmProvider) &&
                       BindExport(m, "BCryptSetProperty", f.SetProperty) &&
                       BindExport(m, "BCryptGenerateSymmetricKey", f.GenerateSymmetricKey) &&
                       BindExport(m, "BCryptDestroyKey", f.DestroyKey) && BindExport(m, "BCryptEncrypt", f.Encrypt) &&
                       BindExport(m, "BCryptDecrypt", f.Decrypt) && BindExport(m, "BCryptCreateHash", f.CreateHash) &&
                       BindExport(m, "BCryptHashData", f.HashData) && BindExport(m, "BCryptFinishHash", f.FinishHash) &&
                       BindExport(m, "BCryptDestroyHash", f.DestroyHash) &&
                       BindExport(m, "BCryptGenRandom", f.GenRandom);
    return bound ? &f : nullptr;
  }();
  return functions;
}

}  // namespace nudgelet::platform::win32
