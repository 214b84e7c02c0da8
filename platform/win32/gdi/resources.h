// Resources embedded into the program at build time (bitmaps, icons, dialog templates), looked up
// by type and numeric id. One program, one resource set: HINSTANCE arguments are ignored.
// Any thread may call these; nothing blocks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/win32/types.h"

inline LPWSTR MAKEINTRESOURCEW(int i) {
  return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i)));
}
inline bool IS_INTRESOURCE(LPCWSTR p) { return (reinterpret_cast<ULONG_PTR>(p) >> 16) == 0; }
#define MAKEINTRESOURCE MAKEINTRESOURCEW
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_GROUP_ICON MAKEINTRESOURCEW(14)

namespace bp::res {
// Called at static initialisation by the embedded resources (see cmake/EmbedResources.cmake).
// The data must stay valid for the life of the program. A later Add of the same type and id wins.
void Add(LPCWSTR type, int id, const std::uint8_t* data, std::size_t size);
// Empty when absent or when `type` is not an integer resource type.
std::span<const std::uint8_t> Find(LPCWSTR type, int id);
}  // namespace bp::res

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT LR_DEFAULTCOLOR = 0x0;
constexpr UINT LR_LOADFROMFILE = 0x10;
constexpr UINT LR_DEFAULTSIZE = 0x40;
constexpr UINT LR_SHARED = 0x8000;

// Bitmap resources are BMP files (24- or 32-bit, uncompressed); null when absent or malformed.
HBITMAP LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName);
// The icon at the system icon size, 32 x 32, from an RT_GROUP_ICON resource (an .ico file).
HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName);
// IMAGE_BITMAP or IMAGE_ICON; cx = cy = 0 means the image's own size (icons: LR_DEFAULTSIZE gives
// 32). LR_LOADFROMFILE reads `name` as a UTF-16 file path instead of a resource.
HANDLE LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad);
