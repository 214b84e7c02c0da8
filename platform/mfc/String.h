// CString: the framework's wide string, 16-bit units (char16_t), value semantics.
// Any thread may use its own CString objects; a CString is not shared between threads.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/win32/types.h"

namespace bp::mfc {

// One argument of CString::Format, captured by type so that a mismatched
// conversion can be handled instead of reading garbage off a va_list.
struct FormatArg {
  enum Kind { kNone, kSigned, kUnsigned, kDouble, kWide, kNarrow, kPointer } kind = kNone;
  int size = 0;  // bytes of the original integer, so %u of an int -1 gives 4294967295
  long long i = 0;
  unsigned long long u = 0;
  double d = 0;
  const char16_t* ws = nullptr;
  const char* ns = nullptr;
  const void* p = nullptr;
};

// The printf-style engine behind Format: %[flags][width][.prec][length]conv with conversions
// d i u o x X c C s S f F e E g G a A p and %%. In wide text %s and %ls take wide text,
// %S and %hs narrow UTF-8 text. %n is refused. Missing arguments print nothing.
std::u16string FormatText(const char16_t* format, const FormatArg* args, std::size_t count);
std::u16string Utf8ToUtf16(std::string_view text);  // invalid bytes become U+FFFD

}  // namespace bp::mfc

class CString {
 public:
  CString() = default;
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  // A null pointer, or a resource id in pointer form (IS_INTRESOURCE), gives the empty string.
  CString(LPCTSTR psz);  // NOLINT: implicit like the framework's
  CString(LPCTSTR pch, int nLength);
  explicit CString(TCHAR ch, int nRepeat = 1);
  explicit CString(std::u16string_view text) : m_str(text) {}

  CString& operator=(LPCTSTR psz);
  CString& operator=(TCHAR ch);
  CString& operator+=(const CString& s);
  CString& operator+=(LPCTSTR psz);
  CString& operator+=(TCHAR ch);

  int GetLength() const { return static_cast<int>(m_str.size()); }
  BOOL IsEmpty() const { return m_str.empty() ? TRUE : FALSE; }
  void Empty() { m_str.clear(); }
  LPCTSTR GetString() const { return m_str.c_str(); }
  operator LPCTSTR() const { return m_str.c_str(); }  // NOLINT: as the framework's

  // Out-of-range indices read as 0 and writes to them are ignored.
  TCHAR operator[](int nIndex) const { return GetAt(nIndex); }
  TCHAR GetAt(int nIndex) const;
  void SetAt(int nIndex, TCHAR ch);

  int Compare(LPCTSTR psz) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  int Find(TCHAR ch, int nStart = 0) const;
  int Find(LPCTSTR pszSub, int nStart = 0) const;
  int Delete(int nIndex, int nCount = 1);  // returns the new length
  void Append(LPCTSTR psz) { *this += psz; }
  void AppendChar(TCHAR ch) { m_str.push_back(ch); }

  // Raw buffer access for filling from C-style calls: GetBuffer gives at least nMinBufLength
  // writable units plus a terminator; ReleaseBuffer(-1) takes the length up to the first 0.
  LPTSTR GetBuffer(int nMinBufLength);
  void ReleaseBuffer(int nNewLength = -1);

  template <class... Args>
  void Format(LPCTSTR pszFormat, const Args&... args) {
    const bp::mfc::FormatArg list[] = {MakeArg(args)..., bp::mfc::FormatArg{}};
    m_str = bp::mfc::FormatText(pszFormat, list, sizeof...(Args));
  }
  template <class... Args>
  void AppendFormat(LPCTSTR pszFormat, const Args&... args) {
    const bp::mfc::FormatArg list[] = {MakeArg(args)..., bp::mfc::FormatArg{}};
    m_str += bp::mfc::FormatText(pszFormat, list, sizeof...(Args));
  }

 private:
  template <class T>
  static bp::mfc::FormatArg MakeArg(const T& v) {
    using U = std::remove_cv_t<std::decay_t<T>>;
    bp::mfc::FormatArg a;
    if constexpr (std::is_same_v<U, CString>) {
      a.kind = bp::mfc::FormatArg::kWide;
      a.ws = v.GetString();
    } else if constexpr (std::is_same_v<U, std::u16string>) {
      a.kind = bp::mfc::FormatArg::kWide;
      a.ws = v.c_str();
    } else if constexpr (std::is_same_v<U, std::string>) {
      a.kind = bp::mfc::FormatArg::kNarrow;
      a.ns = v.c_str();
    } else if constexpr (std::is_same_v<U, char16_t*> || std::is_same_v<U, const char16_t*>) {
      a.kind = bp::mfc::FormatArg::kWide;
      a.ws = v;
    } else if constexpr (std::is_same_v<U, char*> || std::is_same_v<U, const char*>) {
      a.kind = bp::mfc::FormatArg::kNarrow;
      a.ns = v;
    } else if constexpr (std::is_same_v<U, bool>) {
      a.kind = bp::mfc::FormatArg::kSigned;
      a.size = sizeof(int);
      a.i = v ? 1 : 0;
    } else if constexpr (std::is_enum_v<U>) {
      a.kind = bp::mfc::FormatArg::kSigned;
      a.size = sizeof(long long);
      a.i = static_cast<long long>(v);
    } else if constexpr (std::is_integral_v<U> && std::is_signed_v<U>) {
      a.kind = bp::mfc::FormatArg::kSigned;
      a.size = sizeof(U) < sizeof(int) ? static_cast<int>(sizeof(int)) : static_cast<int>(sizeof(U));
      a.i = static_cast<long long>(v);
    } else if constexpr (std::is_integral_v<U>) {
      a.kind = bp::mfc::FormatArg::kUnsigned;
      a.size = sizeof(U) < sizeof(int) ? static_cast<int>(sizeof(int)) : static_cast<int>(sizeof(U));
      a.u = static_cast<unsigned long long>(v);
    } else if constexpr (std::is_floating_point_v<U>) {
      a.kind = bp::mfc::FormatArg::kDouble;
      a.d = static_cast<double>(v);
    } else if constexpr (std::is_pointer_v<U> || std::is_null_pointer_v<U>) {
      a.kind = bp::mfc::FormatArg::kPointer;
      a.p = static_cast<const void*>(v);
    } else {
      static_assert(sizeof(U) == 0, "CString::Format: unsupported argument type");
    }
    return a;
  }

  std::u16string m_str;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCTSTR b);
bool operator<(const CString& a, const CString& b);
CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCTSTR b);
CString operator+(LPCTSTR a, const CString& b);
CString operator+(const CString& a, TCHAR b);
CString operator+(TCHAR a, const CString& b);
