#include "platform/mfc/String.h"

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <string>

namespace bp::mfc {

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    auto cont = [&](std::size_t k) { return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80; };
    auto at = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[i + k]) & 0x3F); };
    if (b0 < 0x80) {
      cp = b0;
    } else if (b0 >= 0xC2 && b0 < 0xE0 && cont(1)) {
      cp = (static_cast<char32_t>(b0 & 0x1F) << 6) | at(1);
      len = 2;
    } else if (b0 >= 0xE0 && b0 < 0xF0 && cont(1) && cont(2)) {
      const char32_t c = (static_cast<char32_t>(b0 & 0x0F) << 12) | (at(1) << 6) | at(2);
      if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
        cp = c;
        len = 3;
      }
    } else if (b0 >= 0xF0 && b0 < 0xF5 && cont(1) && cont(2) && cont(3)) {
      const char32_t c = (static_cast<char32_t>(b0 & 0x07) << 18) | (at(1) << 12) | (at(2) << 6) | at(3);
      if (c >= 0x10000 && c <= 0x10FFFF) {
        cp = c;
        len = 4;
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

namespace {

struct Conversion {
  std::string flags;
  int width = -1;
  int precision = -1;
  std::string length;  // "h", "hh", "l", "ll", "I64", ...
  char16_t conv = 0;
};

long long AsSigned(const FormatArg& a) {
  switch (a.kind) {
    case FormatArg::kSigned: return a.i;
    case FormatArg::kUnsigned: return a.size <= 4 ? static_cast<int>(static_cast<unsigned>(a.u)) : static_cast<long long>(a.u);
    case FormatArg::kDouble: return static_cast<long long>(a.d);
    case FormatArg::kPointer: return static_cast<long long>(reinterpret_cast<std::intptr_t>(a.p));
    default: return 0;
  }
}

unsigned long long AsUnsigned(const FormatArg& a) {
  switch (a.kind) {
    case FormatArg::kSigned: return a.size <= 4 ? static_cast<unsigned>(static_cast<int>(a.i)) : static_cast<unsigned long long>(a.i);
    case FormatArg::kUnsigned: return a.u;
    case FormatArg::kDouble: return static_cast<unsigned long long>(a.d);
    case FormatArg::kPointer: return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(a.p));
    default: return 0;
  }
}

double AsDouble(const FormatArg& a) {
  switch (a.kind) {
    case FormatArg::kSigned: return static_cast<double>(a.i);
    case FormatArg::kUnsigned: return static_cast<double>(a.u);
    case FormatArg::kDouble: return a.d;
    default: return 0;
  }
}

template <class... T>
std::u16string Printf(const std::string& fmt, T... v) {
  const int n = std::snprintf(nullptr, 0, fmt.c_str(), v...);
  if (n <= 0) return {};
  std::string buf(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(buf.data(), buf.size(), fmt.c_str(), v...);
  buf.resize(static_cast<std::size_t>(n));
  return std::u16string(buf.begin(), buf.end());  // digits, signs and letters are ASCII
}

std::string NarrowConversion(const Conversion& s, const char* length, char conv) {
  std::string f = "%" + s.flags;
  if (s.width >= 0) f += std::to_string(s.width);
  if (s.precision >= 0) f += "." + std::to_string(s.precision);
  f += length;
  f += conv;
  return f;
}

void Pad(std::u16string& out, std::u16string body, const Conversion& s) {
  const bool left = s.flags.find('-') != std::string::npos;
  if (s.width > 0 && static_cast<int>(body.size()) < s.width) {
    const std::u16string fill(static_cast<std::size_t>(s.width) - body.size(), u' ');
    body = left ? body + fill : fill + body;
  }
  out += body;
}

}  // namespace

std::u16string FormatText(const char16_t* format, const FormatArg* args, std::size_t count) {
  std::u16string out;
  if (!format) return out;
  std::size_t next = 0;
  auto take = [&]() -> const FormatArg* { return next < count ? &args[next++] : nullptr; };
  for (const char16_t* p = format; *p;) {
    if (*p != u'%') {
      out.push_back(*p++);
      continue;
    }
    const char16_t* start = p++;
    if (*p == u'%') {
      out.push_back(u'%');
      ++p;
      continue;
    }
    Conversion s;
    while (*p == u'-' || *p == u'+' || *p == u' ' || *p == u'#' || *p == u'0') s.flags.push_back(static_cast<char>(*p++));
    if (*p == u'*') {
      ++p;
      if (const FormatArg* a = take()) {
        const long long w = AsSigned(*a);
        if (w < 0) s.flags.push_back('-');
        s.width = static_cast<int>(std::min<long long>(w < 0 ? -w : w, 4096));
      }
    } else {
      while (*p >= u'0' && *p <= u'9') s.width = std::min((s.width < 0 ? 0 : s.width) * 10 + (*p++ - u'0'), 4096);
    }
    if (*p == u'.') {
      ++p;
      s.precision = 0;
      if (*p == u'*') {
        ++p;
        if (const FormatArg* a = take()) s.precision = static_cast<int>(std::clamp<long long>(AsSigned(*a), -1, 4096));
      } else {
        while (*p >= u'0' && *p <= u'9') s.precision = std::min(s.precision * 10 + (*p++ - u'0'), 4096);
      }
    }
    if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
      s.length = "ll";
      p += 3;
    } else if (p[0] == u'I' && p[1] == u'3' && p[2] == u'2') {
      s.length = "";
      p += 3;
    } else {
      while (*p == u'h' || *p == u'l' || *p == u'L' || *p == u'z' || *p == u'j' || *p == u't' || *p == u'I' || *p == u'w')
        s.length.push_back(static_cast<char>(*p++));
    }
    if (!*p) {  // a lone conversion at the end is printed as it stands
      out.append(start, p);
      break;
    }
    s.conv = *p++;
    const FormatArg* a = nullptr;
    switch (s.conv) {
      case u'd':
      case u'i': {
        if (!(a = take())) break;
        long long v = AsSigned(*a);
        if (s.length == "h") v = static_cast<short>(v);
        else if (s.length == "hh") v = static_cast<signed char>(v);
        else if (a->size <= 4 && s.length.empty()) v = static_cast<int>(v);
        out += Printf(NarrowConversion(s, "ll", 'd'), v);
        break;
      }
      case u'u':
      case u'o':
      case u'x':
      case u'X': {
        if (!(a = take())) break;
        unsigned long long v = AsUnsigned(*a);
        if (s.length == "h") v = static_cast<unsigned short>(v);
        else if (s.length == "hh") v = static_cast<unsigned char>(v);
        else if (a->size <= 4 && s.length.empty()) v = static_cast<unsigned>(v);
        out += Printf(NarrowConversion(s, "ll", static_cast<char>(s.conv)), v);
        break;
      }
      case u'f':
      case u'F':
      case u'e':
      case u'E':
      case u'g':
      case u'G':
      case u'a':
      case u'A':
        if (!(a = take())) break;
        out += Printf(NarrowConversion(s, "", static_cast<char>(s.conv)), AsDouble(*a));
        break;
      case u'c':
      case u'C':
        if (!(a = take())) break;
        Pad(out, std::u16string(1, static_cast<char16_t>(AsUnsigned(*a))), s);
        break;
      case u's':
      case u'S': {
        if (!(a = take())) break;
        std::u16string text;
        if (a->kind == FormatArg::kWide) {
          text = a->ws ? std::u16string(a->ws) : std::u16string(u"(null)");
        } else if (a->kind == FormatArg::kNarrow) {
          text = a->ns ? Utf8ToUtf16(a->ns) : std::u16string(u"(null)");
        } else if (a->kind == FormatArg::kPointer && !a->p) {
          text = u"(null)";
        } else if (a->kind == FormatArg::kDouble) {
          text = Printf("%g", a->d);
        } else if (a->kind == FormatArg::kSigned) {
          text = Printf("%lld", a->i);
        } else if (a->kind == FormatArg::kUnsigned) {
          text = Printf("%llu", a->u);
        }
        if (s.precision >= 0 && static_cast<int>(text.size()) > s.precision) text.resize(static_cast<std::size_t>(s.precision));
        Pad(out, std::move(text), s);
        break;
      }
      case u'p':
        if (!(a = take())) break;
        out += Printf(NarrowConversion(s, "", 'p'), const_cast<void*>(a->kind == FormatArg::kPointer ? a->p : nullptr));
        break;
      case u'n':  // writing through an argument is never done
        take();
        break;
      default:  // unknown conversion: shown as written
        out.append(start, p);
        break;
    }
  }
  return out;
}

}  // namespace bp::mfc

namespace {
bool IsResourceId(LPCTSTR psz) { return (reinterpret_cast<std::uintptr_t>(psz) >> 16) == 0; }
}  // namespace

CString::CString(LPCTSTR psz) {
  if (!IsResourceId(psz)) m_str = psz;
}

CString::CString(LPCTSTR pch, int nLength) {
  if (pch && nLength > 0) m_str.assign(pch, static_cast<std::size_t>(nLength));
}

CString::CString(TCHAR ch, int nRepeat) {
  if (nRepeat > 0) m_str.assign(static_cast<std::size_t>(nRepeat), ch);
}

CString& CString::operator=(LPCTSTR psz) {
  if (IsResourceId(psz)) m_str.clear();
  else m_str = psz;  // assign copes with psz pointing into m_str
  return *this;
}

CString& CString::operator=(TCHAR ch) {
  m_str.assign(1, ch);
  return *this;
}

CString& CString::operator+=(const CString& s) {
  m_str += s.m_str;
  return *this;
}

CString& CString::operator+=(LPCTSTR psz) {
  if (!IsResourceId(psz)) m_str.append(psz);
  return *this;
}

CString& CString::operator+=(TCHAR ch) {
  m_str.push_back(ch);
  return *this;
}

TCHAR CString::GetAt(int nIndex) const {
  return nIndex >= 0 && nIndex < GetLength() ? m_str[static_cast<std::size_t>(nIndex)] : 0;
}

void CString::SetAt(int nIndex, TCHAR ch) {
  if (nIndex >= 0 && nIndex < GetLength()) m_str[static_cast<std::size_t>(nIndex)] = ch;
}

int CString::Compare(LPCTSTR psz) const {
  const int c = m_str.compare(IsResourceId(psz) ? u"" : psz);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

CString CString::Left(int nCount) const {
  nCount = std::clamp(nCount, 0, GetLength());
  return CString(std::u16string_view(m_str).substr(0, static_cast<std::size_t>(nCount)));
}

CString CString::Right(int nCount) const {
  nCount = std::clamp(nCount, 0, GetLength());
  return CString(std::u16string_view(m_str).substr(m_str.size() - static_cast<std::size_t>(nCount)));
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
  nFirst = std::clamp(nFirst, 0, GetLength());
  nCount = std::clamp(nCount, 0, GetLength() - nFirst);
  return CString(std::u16string_view(m_str).substr(static_cast<std::size_t>(nFirst), static_cast<std::size_t>(nCount)));
}

int CString::Find(TCHAR ch, int nStart) const {
  if (nStart < 0 || nStart > GetLength()) return -1;
  const auto at = m_str.find(ch, static_cast<std::size_t>(nStart));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCTSTR pszSub, int nStart) const {
  if (IsResourceId(pszSub) || nStart < 0 || nStart > GetLength()) return -1;
  const auto at = m_str.find(pszSub, static_cast<std::size_t>(nStart));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::Delete(int nIndex, int nCount) {
  if (nIndex >= 0 && nIndex < GetLength() && nCount > 0)
    m_str.erase(static_cast<std::size_t>(nIndex), static_cast<std::size_t>(std::min(nCount, GetLength() - nIndex)));
  return GetLength();
}

LPTSTR CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength > GetLength()) m_str.resize(static_cast<std::size_t>(nMinBufLength));
  return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength) {
  if (nNewLength < 0) {
    const auto end = m_str.find(u'\0');
    if (end != std::u16string::npos) m_str.resize(end);
  } else if (nNewLength <= GetLength()) {
    m_str.resize(static_cast<std::size_t>(nNewLength));
  }
}

namespace {
std::u16string_view View(const CString& s) { return {s.GetString(), static_cast<std::size_t>(s.GetLength())}; }
}  // namespace

bool operator==(const CString& a, const CString& b) { return View(a) == View(b); }
bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
bool operator<(const CString& a, const CString& b) { return View(a) < View(b); }

CString operator+(const CString& a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const CString& a, LPCTSTR b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(LPCTSTR a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const CString& a, TCHAR b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(TCHAR a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
