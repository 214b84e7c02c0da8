// A small output stream for 16-bit text. The standard library has no char16_t locale facets,
// so std::basic_ostream<char16_t> cannot write numbers; this covers what log lines need.
#pragma once
#include <concepts>
#include <string>
#include <string_view>

class WideStream {
 public:
  WideStream& operator<<(std::u16string_view text) {
    buffer_.append(text);
    return *this;
  }
  WideStream& operator<<(const char16_t* text) { return *this << std::u16string_view(text ? text : u""); }
  WideStream& operator<<(const std::u16string& text) { return *this << std::u16string_view(text); }
  WideStream& operator<<(char16_t unit) {
    buffer_ += unit;
    return *this;
  }
  // Narrow text is widened byte by byte, each byte one unit of the same value: meant for
  // ASCII texts such as libcurl's messages.
  WideStream& operator<<(const char* text) {
    for (const char* p = text ? text : ""; *p; ++p) buffer_ += static_cast<char16_t>(static_cast<unsigned char>(*p));
    return *this;
  }
  // Decimal, no padding or grouping, a minus sign for negative values.
  template <std::integral T>
    requires(!std::same_as<T, char> && !std::same_as<T, char16_t> && !std::same_as<T, bool>)
  WideStream& operator<<(T number) {
    return *this << std::to_string(number).c_str();
  }
  WideStream& operator<<(bool value) { return *this << (value ? "1" : "0"); }

  const std::u16string& str() const { return buffer_; }
  void clear() { buffer_.clear(); }

 private:
  std::u16string buffer_;
};
