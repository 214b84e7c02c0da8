#include "service/Sha256.h"

#include <openssl/evp.h>

struct Sha256::State {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  ~State() { EVP_MD_CTX_free(ctx); }
};

Sha256::Sha256() : state_(std::make_unique<State>()) { EVP_DigestInit_ex(state_->ctx, EVP_sha256(), nullptr); }
Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) { EVP_DigestUpdate(state_->ctx, data, size); }

std::string Sha256::FinishHex() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(state_->ctx, digest, &length);
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0xF];
  }
  return hex;
}
