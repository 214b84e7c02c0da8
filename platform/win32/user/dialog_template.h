// Dialog templates: a small text format (UTF-8), in dialog units, shaped like a resource script.
//
//   # comment (also "//")
//   DIALOG x, y, cx, cy
//   STYLE WS_POPUP | WS_VISIBLE | DS_SETFONT      names joined by "|", or numbers (0x1F, 42)
//   EXSTYLE WS_EX_APPWINDOW                       optional
//   CAPTION "text"                                optional
//   CLASS "name"                                  optional window class of the dialog itself
//   FONT 9, "MS Shell Dlg"                        point size and face; needs DS_SETFONT to apply
//   BEGIN
//     CONTROL "text", id, "class", style, x, y, cx, cy [, exstyle]
//   END
//
// Strings take \" and \\ escapes. The "DIALOG" line comes first; the statements between it and
// BEGIN may come in any order. A control's style always gains WS_CHILD. Parsing stops at the END
// line or at a NUL byte, so a template can be handed over as a bare pointer to its first byte
// (embedded resources end with a NUL).
//
// Dialog units: x and cx are quarters of the font's average character width, y and cy eighths of
// its height (the usual dialog base units).
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/types.h"

namespace bp::user {

struct DialogItemTemplate {
  std::u16string text;
  int id = 0;
  std::u16string className;
  DWORD style = 0, exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
  int x = 0, y = 0, cx = 0, cy = 0;
  DWORD style = 0, exStyle = 0;
  std::u16string caption, className;
  int pointSize = 0;
  std::u16string fontFace;
  std::vector<DialogItemTemplate> items;
};

// False with a one-line reason (naming the line) for a malformed template.
bool ParseDialogTemplate(std::string_view text, DialogTemplate* out, std::string* error);
// The length of the template text at `p`: up to its NUL or just past its END line.
std::size_t DialogTemplateLength(const char* p);

}  // namespace bp::user
