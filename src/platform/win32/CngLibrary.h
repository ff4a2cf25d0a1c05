#pragma once
// The system's CNG (bcrypt.dll), loaded when it is first needed. Most runs
// need no cryptography at all: the program's own files carry a checksum, and
// only deciphering the update database and checking SoftwareCache.ini take
// CNG. Loaded at start it cost every run about ten milliseconds and, under
// Wine, a TLS library of a few megabytes in the working set.

#include <windows.h>

#include <bcrypt.h>

namespace nudgelet::platform::win32 {

struct CngFunctions {
  decltype(&::BCryptOpenAlgorithmProvider) OpenAlgorithmProvider;
  decltype(&::BCryptCloseAlgorithmProvider) CloseAlgorithmProvider;
  decltype(&::BCryptSetProperty) SetProperty;
  decltype(&::BCryptGenerateSymmetricKey) GenerateSymmetricKey;
  decltype(&::BCryptDestroyKey) DestroyKey;
  decltype(&::BCryptEncrypt) Encrypt;
  decltype(&::BCryptDecrypt) Decrypt;
  decltype(&::BCryptCreateHash) CreateHash;
  decltype(&::BCryptHashData) HashData;
  decltype(&::BCryptFinishHash) FinishHash;
  decltype(&::BCryptDestroyHash) DestroyHash;
  decltype(&::BCryptGenRandom) GenRandom;
};

// bcrypt.dll from the system folder, loaded on the first call and kept for the
// process; nullptr when it or one of these functions cannot be had.
const CngFunctions* Cng();

}  // namespace nudgelet::platform::win32
