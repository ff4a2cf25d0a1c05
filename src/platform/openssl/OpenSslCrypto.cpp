// The crypto provider of the native build: OpenSSL's libcrypto.
#include <openssl/evp.h>

#include <memory>

#include "platform/Crypto.h"

namespace nudgelet::platform {
namespace {

const EVP_CIPHER* AesEcb(std::size_t keySize) {
  switch (keySize) {
    case 16:
      return EVP_aes_128_ecb();
    case 24:
      return EVP_aes_192_ecb();
    case 32:
      return EVP_aes_256_ecb();
    default:
      return nullptr;
  }
}

std::optional<std::vector<std::uint8_t>> AesEcb(const std::vector<std::uint8_t>& key, const std::uint8_t* data,
                                                std::size_t size, bool encrypt) {
  const EVP_CIPHER* cipher = AesEcb(key.size());
  if (!cipher || size % 16 != 0) return std::nullopt;
  std::vector<std::uint8_t> out(size);
  if (size == 0) return out;
  std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
  if (!ctx || EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key.data(), nullptr, encrypt ? 1 : 0) != 1) {
    return std::nullopt;
  }
  EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
  // EVP takes int lengths: go in chunks so any size works.
  std::size_t done = 0;
  while (done < size) {
    const int chunk = static_cast<int>(std::min<std::size_t>(size - done, 1u << 30));
    int written = 0;
    if (EVP_CipherUpdate(ctx.get(), out.data() + done, &written, data + done, chunk) != 1 || written != chunk) {
      return std::nullopt;
    }
    done += static_cast<std::size_t>(chunk);
  }
  return out;
}

class OpenSslCrypto final : public Crypto {
 public:
  Md5Digest Md5(const std::uint8_t* data, std::size_t size) const override {
    Md5Digest digest{};
    unsigned int length = 0;
    EVP_Digest(data, size, digest.data(), &length, EVP_md5(), nullptr);
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
  static const OpenSslCrypto crypto;
  return crypto;
}

}  // namespace nudgelet::platform
