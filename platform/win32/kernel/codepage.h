// Code-page conversions. On Linux every narrow code page the program names (the OEM and the
// ANSI code page, UTF-8) is UTF-8, the encoding of file names and desktops. Decoding turns
// each malformed piece into U+FFFD; encoding joins surrogate pairs and turns a lone surrogate
// into the default character. Stateless; any thread.
#pragma once
#include <string>
#include <string_view>

#include "platform/win32/types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF8 = 65001;

// With cchWideChar 0 returns the units needed. cbMultiByte -1 converts up to and including
// the terminating NUL. 0 on failure (empty input, unknown code page, buffer too small).
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int cbMultiByte, LPWSTR wideChar,
                        int cchWideChar);
// With cbMultiByte 0 returns the bytes needed. cchWideChar -1 converts up to and including
// the terminating NUL. 0 on failure. A lone surrogate becomes defaultChar[0] (else '?').
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int cchWideChar, LPSTR multiByte,
                        int cbMultiByte, LPCSTR defaultChar, BOOL* usedDefaultChar);

namespace bp::kernel {
// The same conversions for the platform's own use (file names and the like).
std::u16string DecodeUtf8(std::string_view bytes);
// False when the text holds a lone surrogate, which no Linux file name can carry.
bool EncodeUtf8(std::u16string_view text, std::string* out);
}  // namespace bp::kernel
