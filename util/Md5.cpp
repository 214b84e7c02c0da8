#include "util/Md5.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint32_t kInitialState[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

// Per-round shift amounts and the sine-derived constants of RFC 1321.
constexpr int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr std::uint32_t RotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void EncodeLittleEndian(unsigned char* out, const std::uint32_t* in, size_t words) {
  for (size_t i = 0; i < words; ++i) {
    out[4 * i] = static_cast<unsigned char>(in[i]);
    out[4 * i + 1] = static_cast<unsigned char>(in[i] >> 8);
    out[4 * i + 2] = static_cast<unsigned char>(in[i] >> 16);
    out[4 * i + 3] = static_cast<unsigned char>(in[i] >> 24);
  }
}

}  // namespace

Md5Context::Md5Context() { std::memcpy(state, kInitialState, sizeof state); }

void Md5Context::Transform(const unsigned char block[64]) {
  std::uint32_t x[16];
  for (int i = 0; i < 16; ++i)
    x[i] = static_cast<std::uint32_t>(block[4 * i]) | (static_cast<std::uint32_t>(block[4 * i + 1]) << 8) |
           (static_cast<std::uint32_t>(block[4 * i + 2]) << 16) | (static_cast<std::uint32_t>(block[4 * i + 3]) << 24);
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (int i = 0; i < 64; ++i) {
    std::uint32_t f;
    int g;
    if (i < 16) {
      f = (b & c) | (~b & d);
      g = i;
    } else if (i < 32) {
      f = (b & d) | (c & ~d);
      g = (5 * i + 1) % 16;
    } else if (i < 48) {
      f = b ^ c ^ d;
      g = (3 * i + 5) % 16;
    } else {
      f = c ^ (b | ~d);
      g = (7 * i) % 16;
    }
    std::uint32_t next = d;
    d = c;
    c = b;
    b = b + RotateLeft(a + f + kSine[i] + x[g], kShift[i]);
    a = next;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}

void Md5Context::Update(const void* bytes, size_t length) {
  if (finalized || length == 0) return;
  const auto* input = static_cast<const unsigned char*>(bytes);
  size_t index = (count[0] >> 3) & 0x3F;
  // The count is in bits modulo 2^64, split into two words.
  std::uint64_t bits = (static_cast<std::uint64_t>(count[1]) << 32 | count[0]) + (static_cast<std::uint64_t>(length) << 3);
  count[0] = static_cast<std::uint32_t>(bits);
  count[1] = static_cast<std::uint32_t>(bits >> 32);
  size_t room = 64 - index;
  size_t i = 0;
  if (length >= room) {
    std::memcpy(buffer + index, input, room);
    Transform(buffer);
    for (i = room; i + 63 < length; i += 64) Transform(input + i);
    index = 0;
  }
  std::memcpy(buffer + index, input + i, length - i);
}

void Md5Context::Finalize() {
  if (finalized) return;
  unsigned char bitCount[8];
  EncodeLittleEndian(bitCount, count, 2);
  size_t index = (count[0] >> 3) & 0x3F;
  size_t padding = index < 56 ? 56 - index : 120 - index;
  static const unsigned char kPadding[64] = {0x80};
  Update(kPadding, padding);
  Update(bitCount, 8);
  EncodeLittleEndian(digest, state, 4);
  std::memset(buffer, 0, sizeof buffer);
  count[0] = count[1] = 0;
  finalized = true;
}

std::string Md5Context::HexDigest() const {
  if (!finalized) return std::string();
  char text[33];
  for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%02x", digest[i]);
  return std::string(text, 32);
}

std::string Md5Digest(std::string_view text) {
  Md5Context context;
  context.Update(text.data(), text.size());
  context.Finalize();
  return context.HexDigest();
}
