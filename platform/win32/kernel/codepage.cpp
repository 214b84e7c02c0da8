#include "platform/win32/kernel/codepage.h"

#include <string>
#include <string_view>

#include "platform/win32/kernel/error.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes strictly (no overlong forms, no encoded surrogates, nothing above U+10FFFF).
// `emit` receives each unit; a malformed piece becomes one U+FFFD.
template <class Emit>
void Decode(std::string_view in, Emit emit) {
  size_t i = 0;
  while (i < in.size()) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
      emit(static_cast<char16_t>(c));
      ++i;
      continue;
    }
    int need = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // range allowed for the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      need = 1, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      need = 2, cp = c & 0x0F;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      need = 3, cp = c & 0x07;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      emit(kReplacement);
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < need; ++k, ++j) {
      if (j >= in.size()) { ok = false; break; }
      unsigned char d = static_cast<unsigned char>(in[j]);
      bool inRange = k == 0 ? (d >= lo && d <= hi) : IsContinuation(d);
      if (!inRange) { ok = false; break; }
      cp = (cp << 6) | (d & 0x3F);
    }
    if (!ok) {
      emit(kReplacement);
      i = j;  // skip the lead and the continuation bytes that did fit
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      emit(static_cast<char16_t>(0xD800 + (cp >> 10)));
      emit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      emit(static_cast<char16_t>(cp));
    }
    i = j;
  }
}

// `emit` receives each byte; returns whether a lone surrogate was replaced.
template <class Emit>
bool Encode(std::u16string_view in, char fallback, Emit emit) {
  bool replaced = false;
  for (size_t i = 0; i < in.size(); ++i) {
    char32_t cp = in[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      emit(fallback);
      replaced = true;
      continue;
    }
    if (cp < 0x80) {
      emit(static_cast<char>(cp));
    } else if (cp < 0x800) {
      emit(static_cast<char>(0xC0 | (cp >> 6)));
      emit(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      emit(static_cast<char>(0xE0 | (cp >> 12)));
      emit(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      emit(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      emit(static_cast<char>(0xF0 | (cp >> 18)));
      emit(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      emit(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      emit(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return replaced;
}

bool KnownCodePage(UINT codePage) { return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_UTF8; }

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR multiByte, int cbMultiByte, LPWSTR wideChar,
                        int cchWideChar) {
  if (!KnownCodePage(codePage) || multiByte == nullptr || cbMultiByte == 0 || cbMultiByte < -1 ||
      cchWideChar < 0 || (cchWideChar > 0 && wideChar == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string_view in = cbMultiByte == -1 ? std::string_view(multiByte, std::char_traits<char>::length(multiByte) + 1)
                                          : std::string_view(multiByte, static_cast<size_t>(cbMultiByte));
  size_t needed = 0;
  bool overflow = false;
  Decode(in, [&](char16_t u) {
    if (cchWideChar > 0) {
      if (needed < static_cast<size_t>(cchWideChar)) wideChar[needed] = u;
      else overflow = true;
    }
    ++needed;
  });
  if (overflow) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  return static_cast<int>(needed);
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wideChar, int cchWideChar, LPSTR multiByte, int cbMultiByte,
                        LPCSTR defaultChar, BOOL* usedDefaultChar) {
  if (!KnownCodePage(codePage) || wideChar == nullptr || cchWideChar == 0 || cchWideChar < -1 ||
      cbMultiByte < 0 || (cbMultiByte > 0 && multiByte == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string_view in = cchWideChar == -1
                               ? std::u16string_view(wideChar, std::char_traits<char16_t>::length(wideChar) + 1)
                               : std::u16string_view(wideChar, static_cast<size_t>(cchWideChar));
  char fallback = defaultChar != nullptr && defaultChar[0] != 0 ? defaultChar[0] : '?';
  size_t needed = 0;
  bool overflow = false;
  bool replaced = Encode(in, fallback, [&](char b) {
    if (cbMultiByte > 0) {
      if (needed < static_cast<size_t>(cbMultiByte)) multiByte[needed] = b;
      else overflow = true;
    }
    ++needed;
  });
  if (usedDefaultChar != nullptr) *usedDefaultChar = replaced ? TRUE : FALSE;
  if (overflow) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  return static_cast<int>(needed);
}

namespace bp::kernel {

std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  Decode(bytes, [&](char16_t u) { out.push_back(u); });
  return out;
}

bool EncodeUtf8(std::u16string_view text, std::string* out) {
  out->clear();
  out->reserve(text.size());
  return !Encode(text, '?', [&](char b) { out->push_back(b); });
}

}  // namespace bp::kernel
