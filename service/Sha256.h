// Streaming SHA-256 (OpenSSL), so a stored file is hashed while it is written, never re-read.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(const void* data, std::size_t size);
  // Lower-case hex digest; the object is spent afterwards.
  std::string FinishHex();

 private:
  struct State;
  std::unique_ptr<State> state_;
};
