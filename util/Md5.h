// The MD5 digest of RFC 1321, written as 32 lower-case hexadecimal characters.
// A context is used by one thread at a time; separate contexts share only constant tables.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class Md5Context {
 public:
  Md5Context();
  // Feeds `length` bytes; ignored once finalized.
  void Update(const void* bytes, size_t length);
  // Pads, appends the bit count and keeps the digest. A second call does nothing.
  void Finalize();
  // The digest in hexadecimal; empty until finalized.
  std::string HexDigest() const;

 private:
  void Transform(const unsigned char block[64]);

  bool finalized = false;
  unsigned char buffer[64] = {};
  std::uint32_t count[2] = {0, 0};  // bits, low word first
  std::uint32_t state[4];
  unsigned char digest[16] = {};
};

// MD5 of every byte of `text`, NUL bytes included.
std::string Md5Digest(std::string_view text);
