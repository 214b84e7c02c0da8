#include "util/TextConversion.h"

#include <climits>
#include <vector>

#include "platform/win32/kernel/kernel.h"

namespace {

std::u16string UpToNul(const std::vector<char16_t>& buffer) { return std::u16string(buffer.data()); }
std::string UpToNul(const std::vector<char>& buffer) { return std::string(buffer.data()); }

}  // namespace

std::u16string OemToWide(std::string_view oem) {
  std::string terminated(oem.substr(0, oem.find('\0')));
  if (terminated.size() > INT_MAX / 2) return std::u16string();
  int n = MultiByteToWideChar(CP_OEMCP, 0, terminated.c_str(), -1, nullptr, 0);
  if (n <= 0) return std::u16string();
  std::vector<char16_t> buffer(static_cast<size_t>(n) + 1, 0);
  MultiByteToWideChar(CP_OEMCP, 0, terminated.c_str(), -1, buffer.data(), n);
  return UpToNul(buffer);
}

std::string WideToOem(std::u16string_view wide) {
  std::u16string_view text = wide.substr(0, wide.find(u'\0'));
  if (text.size() > INT_MAX / 4) return std::string();
  int n = static_cast<int>(text.size());
  int size = WideCharToMultiByte(CP_OEMCP, 0, text.data(), n, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();  // also the empty input
  std::vector<char> buffer(static_cast<size_t>(size) + 1, 0);
  WideCharToMultiByte(CP_OEMCP, 0, text.data(), n, buffer.data(), size, nullptr, nullptr);
  return UpToNul(buffer);
}

std::string OemToUtf8(std::string_view oem) { return WideToUtf8(OemToWide(oem)); }

std::string WideToUtf8(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size() * 3);
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t cp = wide[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToWide(std::string_view utf8, bool* ok) {
  auto fail = [ok] {
    if (ok != nullptr) *ok = false;
    return std::u16string();
  };
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    int need;
    char32_t cp;
    char32_t min;
    if ((c & 0xE0) == 0xC0) {
      need = 1, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      need = 2, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      need = 3, cp = c & 0x07, min = 0x10000;
    } else {
      return fail();  // a continuation byte first, or a lead byte of no valid length
    }
    if (utf8.size() - i <= static_cast<size_t>(need)) return fail();
    for (int k = 1; k <= need; ++k) {
      unsigned char d = static_cast<unsigned char>(utf8[i + k]);
      if ((d & 0xC0) != 0x80) return fail();
      cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return fail();
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += static_cast<size_t>(need) + 1;
  }
  if (ok != nullptr) *ok = true;
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8, bool* ok) {
  bool decoded = false;
  std::u16string wide = Utf8ToWide(utf8, &decoded);
  if (ok != nullptr) *ok = decoded;
  if (!decoded || wide.empty() || wide.size() > INT_MAX / 4) return std::string();
  int n = static_cast<int>(wide.size());
  // Sized by the platform: Chinese text needs three bytes a unit, more than twice the units.
  int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(size) + 1, 0);
  int k = WideCharToMultiByte(CP_ACP, 0, wide.data(), n, buffer.data(), size, nullptr, nullptr);
  buffer[static_cast<size_t>(k > 0 ? k : 0)] = 0;
  return UpToNul(buffer);
}
