// The crypto provider of the Windows build: the system's CNG, loaded when first used.
#include <algorithm>

#include "platform/Crypto.h"
#include "platform/win32/CngLibrary.h"

namespace nudgelet::platform {
namespace {

class Algorithm {
 public:
  explicit Algorithm(LPCWSTR id) {
    const win32::CngFunctions* cng = win32::Cng();
    if (!cng || !BCRYPT_SUCCESS(cng->OpenAlgorithmProvider(&handle_, id, nullptr, 0))) handle_ = nullptr;
  }
  ~Algorithm() {
    if (handle_) win32::Cng()->CloseAlgorithmProvider(handle_, 0);
  }
  Algorithm(const Algorithm&) = delete;
  Algorithm& operator=(const Algorithm&) = delete;
  BCRYPT_ALG_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class Key {
 public:
  Key(BCRYPT_ALG_HANDLE algorithm, const std::vector<std::uint8_t>& secret) {
    if (!BCRYPT_SUCCESS(win32::Cng()->GenerateSymmetricKey(algorithm, &handle_, nullptr, 0,
                                                           const_cast<PUCHAR>(secret.data()),
                                                           static_cast<ULONG>(secret.size()), 0))) {
      handle_ = nullptr;
    }
  }
  ~Key() {
    if (handle_) win32::Cng()->DestroyKey(handle_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  BCRYPT_KEY_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_KEY_HANDLE handle_ = nullptr;
};

std::optional<std::vector<std::uint8_t>> AesEcb(const std::vector<std::uint8_t>& secret, const std::uint8_t* data,
                                                std::size_t size, bool encrypt) {
  if ((secret.size() != 16 && secret.size() != 24 && secret.size() != 32) || size % 16 != 0) return std::nullopt;
  std::vector<std::uint8_t> out(size);
  if (size == 0) return out;
  Algorithm aes(BCRYPT_AES_ALGORITHM);
  if (!aes.Get()) return std::nullopt;
  if (!BCRYPT_SUCCESS(win32::Cng()->SetProperty(aes.Get(), BCRYPT_CHAINING_MODE,
                                                reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                                                sizeof(BCRYPT_CHAIN_MODE_ECB), 0))) {
    return std::nullopt;
  }
  Key key(aes.Get(), secret);
  if (!key.Get()) return std::nullopt;
  // CNG takes ULONG lengths: go in block-aligned chunks so any size works.
  constexpr std::size_t kChunk = std::size_t{1} << 30;
  for (std::size_t done = 0; done < size;) {
    const ULONG chunk = static_cast<ULONG>(std::min(size - done, kChunk));
    ULONG written = 0;
    PUCHAR input = const_cast<PUCHAR>(data + done);
    const NTSTATUS status = encrypt ? win32::Cng()->Encrypt(key.Get(), input, chunk, nullptr, nullptr, 0,
                                                            out.data() + done, chunk, &written, 0)
                                    : win32::Cng()->Decrypt(key.Get(), input, chunk, nullptr, nullptr, 0,
                                                            out.data() + done, chunk, &written, 0);
    if (!BCRYPT_SUCCESS(status) || written != chunk) return std::nullopt;
    done += chunk;
  }
  return out;
}

class CngCrypto final : public Crypto {
 public:
  Md5Digest Md5(const std::uint8_t* data, std::size_t size) const override {
    Md5Digest digest{};
    Algorithm md5(BCRYPT_MD5_ALGORITHM);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!md5.Get() || !BCRYPT_SUCCESS(win32::Cng()->CreateHash(md5.Get(), &hash, nullptr, 0, nullptr, 0, 0)))
      return digest;
    for (std::size_t done = 0; done < size;) {
      const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(size - done, 1u << 30));
      win32::Cng()->HashData(hash, const_cast<PUCHAR>(data + done), chunk, 0);
      done += chunk;
    }
    win32::Cng()->FinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
    win32::Cng()->DestroyHash(hash);
    return digest;
  }

  std::optional<std::vector<std::uint8_t>> AesEcbDecrypt(const std::vector<std::uint8_t>& key, const std::uint8_t* data,
                                                         std::size_t size) const override {
    return AesEcb(key, data, size, false);
  }

  std::optional<std::vector<std::uint8_t>> AesEcbEncrypt(const std::vector<std::uint8_t>& key, const std::uint8_t* data,
                                                         std::size_t size) const override {
    return AesEcb(key, data, size, true);
  }
};

}  // namespace

const Crypto& SystemCrypto() {
  static const CngCrypto crypto;
  return crypto;
}

}  // namespace nudgelet::platform
