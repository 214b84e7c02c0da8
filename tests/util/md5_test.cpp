#include <gtest/gtest.h>

#include <string>

#include "util/Md5.h"

namespace {

TEST(Md5, Rfc1321Suite) {
  const std::pair<const char*, const char*> suite[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [input, digest] : suite) EXPECT_EQ(Md5Digest(input), digest) << '"' << input << '"';
}

// Digests of n times 'a', made with: head -c N /dev/zero | tr '\0' 'a' | md5sum
const std::pair<size_t, const char*> kBoundaries[] = {
    {55, "ef1772b6dff9a122358552954ad0df65"},  {56, "3b0c8ac703f828b04c6c197006d17218"},
    {63, "b06521f39153d618550606be297466d5"},  {64, "014842d480b571495a4a0363793f7367"},
    {65, "c743a45e0d2e6a95cb859adae0248435"},  {127, "020406e1d05cdc2aa287641f7ae2cc39"},
    {128, "e510683b3f5ffe4093d021808bc6ff70"},
};

TEST(Md5, BlockBoundaryLengthsWholeAndInPieces) {
  for (const auto& [length, digest] : kBoundaries) {
    std::string text(length, 'a');
    EXPECT_EQ(Md5Digest(text), digest) << length;
    for (size_t piece : {1u, 3u, 7u, 55u, 63u, 64u, 65u}) {
      Md5Context context;
      for (size_t at = 0; at < length; at += piece) context.Update(text.data() + at, std::min(piece, length - at));
      context.Finalize();
      EXPECT_EQ(context.HexDigest(), digest) << length << " in pieces of " << piece;
    }
  }
}

TEST(Md5, NulBytesAreHashedLikeAnyOther) {
  // printf 'a\0b' | md5sum
  EXPECT_EQ(Md5Digest(std::string("a\0b", 3)), "70350f6027bce3713f6b76473084309b");
  // python3 -c "import sys; sys.stdout.buffer.write(bytes(range(256))*4)" | md5sum
  std::string all;
  for (int r = 0; r < 4; ++r)
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Md5Digest(all), "b2ea9f7fcea831a4a63b213f41a8855b");
}

TEST(Md5, ContextLifecycle) {
  Md5Context context;
  context.Update("abc", 3);
  EXPECT_EQ(context.HexDigest(), "");
  context.Finalize();
  EXPECT_EQ(context.HexDigest(), "900150983cd24fb0d6963f7d28e17f72");
  context.Finalize();
  context.Update("more", 4);
  EXPECT_EQ(context.HexDigest(), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
