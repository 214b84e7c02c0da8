// Basic Win32-shaped types shared by every unit of the platform layer and the program.
// Text is 16-bit wide text (char16_t), as the program expects, not Linux's 32-bit wchar_t.
#pragma once
#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using BOOL = int;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;

using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPSTR = char*;
using LPCSTR = const char*;
using TCHAR = WCHAR;
using LPTSTR = LPWSTR;
using LPCTSTR = LPCWSTR;
#define _T(x) u##x
#define TEXT(x) u##x

using LPVOID = void*;
using LPCVOID = const void*;
using HANDLE = void*;
using HGDIOBJ = void*;

#define BUGPOST_DECLARE_HANDLE(name) \
  struct name##__;                   \
  using name = name##__*
BUGPOST_DECLARE_HANDLE(HWND);
BUGPOST_DECLARE_HANDLE(HDC);
BUGPOST_DECLARE_HANDLE(HBITMAP);
BUGPOST_DECLARE_HANDLE(HFONT);
BUGPOST_DECLARE_HANDLE(HRGN);
BUGPOST_DECLARE_HANDLE(HBRUSH);
BUGPOST_DECLARE_HANDLE(HPEN);
BUGPOST_DECLARE_HANDLE(HICON);
BUGPOST_DECLARE_HANDLE(HMENU);
BUGPOST_DECLARE_HANDLE(HINSTANCE);
#undef BUGPOST_DECLARE_HANDLE
using HCURSOR = HICON;
using HMODULE = HINSTANCE;
struct _IMAGELIST;
using HIMAGELIST = _IMAGELIST*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr DWORD MAX_PATH = 260;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

#define CALLBACK
#define WINAPI
#define APIENTRY

using COLORREF = DWORD;
constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct RECT {
  LONG left = 0, top = 0, right = 0, bottom = 0;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;
struct POINT {
  LONG x = 0, y = 0;
};
using LPPOINT = POINT*;
struct SIZE {
  LONG cx = 0, cy = 0;
};
using LPSIZE = SIZE*;

constexpr WORD LOWORD(DWORD_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>(static_cast<DWORD>((static_cast<WORD>(lo)) | (static_cast<DWORD>(static_cast<WORD>(hi)) << 16)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) { return static_cast<WPARAM>(static_cast<DWORD>(MAKELPARAM(lo, hi))); }
constexpr int GET_X_LPARAM(LPARAM l) { return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(l))); }
constexpr int GET_Y_LPARAM(LPARAM l) { return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(l))); }

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);
struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
