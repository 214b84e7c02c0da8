// Every change of text form goes through these. On Linux the OEM and the ANSI code page are
// both UTF-8 (the platform's stand-in), so a path made wide with OemToWide and narrow again
// with WideToOem comes out unchanged. Stateless; any thread.
#pragma once
#include <string>
#include <string_view>

// OEM text, read up to its first NUL byte, to wide text. Undecodable bytes become U+FFFD.
std::u16string OemToWide(std::string_view oem);
// Wide text, up to its first NUL unit, to OEM text; a lone surrogate becomes '?'.
std::string WideToOem(std::u16string_view wide);
// WideToUtf8 of OemToWide.
std::string OemToUtf8(std::string_view oem);
// Encodes every unit of the whole input, NUL units included; never fails. A valid surrogate
// pair becomes one four-byte sequence (what Linux file names and peers expect); a lone
// surrogate is encoded like any other unit, in three bytes.
std::string WideToUtf8(std::u16string_view wide);
// Decodes the whole input, NUL bytes included; a character above U+FFFF becomes a surrogate
// pair. Malformed input (a stray continuation byte, a sequence cut short, an overlong form,
// an encoded surrogate, a value above U+10FFFF) gives an empty result and *ok = false.
std::u16string Utf8ToWide(std::string_view utf8, bool* ok = nullptr);
// Utf8ToWide, then the ANSI code page; the result stops at the first NUL character.
// Malformed input gives an empty result and *ok = false.
std::string Utf8ToAnsi(std::string_view utf8, bool* ok = nullptr);
