#include "platform/win32/user/dialog_template.h"

#include <cctype>
#include <cstring>
#include <unordered_map>

#include "platform/win32/user/commctrl.h"
#include "platform/win32/user/user.h"

namespace bp::user {
namespace {

const std::unordered_map<std::string, DWORD>& StyleNames() {
  static const auto* names = new std::unordered_map<std::string, DWORD>{
      {"WS_OVERLAPPED", WS_OVERLAPPED}, {"WS_POPUP", WS_POPUP}, {"WS_CHILD", WS_CHILD},
      {"WS_MINIMIZE", WS_MINIMIZE}, {"WS_VISIBLE", WS_VISIBLE}, {"WS_DISABLED", WS_DISABLED},
      {"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS}, {"WS_CLIPCHILDREN", WS_CLIPCHILDREN}, {"WS_MAXIMIZE", WS_MAXIMIZE},
      {"WS_CAPTION", WS_CAPTION}, {"WS_BORDER", WS_BORDER}, {"WS_DLGFRAME", WS_DLGFRAME},
      {"WS_VSCROLL", WS_VSCROLL}, {"WS_HSCROLL", WS_HSCROLL}, {"WS_SYSMENU", WS_SYSMENU},
      {"WS_THICKFRAME", WS_THICKFRAME}, {"WS_GROUP", WS_GROUP}, {"WS_TABSTOP", WS_TABSTOP},
      {"WS_MINIMIZEBOX", WS_MINIMIZEBOX}, {"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX},
      {"WS_OVERLAPPEDWINDOW", WS_OVERLAPPEDWINDOW}, {"WS_POPUPWINDOW", WS_POPUPWINDOW},
      {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME}, {"WS_EX_NOPARENTNOTIFY", WS_EX_NOPARENTNOTIFY},
      {"WS_EX_TOPMOST", WS_EX_TOPMOST}, {"WS_EX_TRANSPARENT", WS_EX_TRANSPARENT},
      {"WS_EX_TOOLWINDOW", WS_EX_TOOLWINDOW}, {"WS_EX_WINDOWEDGE", WS_EX_WINDOWEDGE},
      {"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE}, {"WS_EX_CONTROLPARENT", WS_EX_CONTROLPARENT},
      {"WS_EX_STATICEDGE", WS_EX_STATICEDGE}, {"WS_EX_APPWINDOW", WS_EX_APPWINDOW},
      {"DS_ABSALIGN", DS_ABSALIGN}, {"DS_SYSMODAL", DS_SYSMODAL}, {"DS_SETFONT", DS_SETFONT},
      {"DS_MODALFRAME", DS_MODALFRAME}, {"DS_NOIDLEMSG", DS_NOIDLEMSG}, {"DS_SETFOREGROUND", DS_SETFOREGROUND},
      {"DS_FIXEDSYS", DS_FIXEDSYS}, {"DS_CENTER", DS_CENTER}, {"DS_SHELLFONT", DS_SHELLFONT},
      {"BS_PUSHBUTTON", BS_PUSHBUTTON}, {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON}, {"BS_OWNERDRAW", BS_OWNERDRAW},
      {"BS_NOTIFY", BS_NOTIFY}, {"SS_LEFT", SS_LEFT}, {"SS_CENTER", SS_CENTER}, {"SS_RIGHT", SS_RIGHT},
      {"SS_NOTIFY", SS_NOTIFY}, {"SS_NOPREFIX", SS_NOPREFIX}, {"SS_CENTERIMAGE", SS_CENTERIMAGE},
      {"SS_ENDELLIPSIS", SS_ENDELLIPSIS}, {"SS_PATHELLIPSIS", SS_PATHELLIPSIS}, {"TTS_ALWAYSTIP", TTS_ALWAYSTIP},
  };
  return *names;
}

std::u16string Widen(const std::string& s) {
  // UTF-8 to UTF-16; malformed bytes become U+FFFD.
  std::u16string out;
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (c < 0x80) cp = c;
    else if ((c >> 5) == 6) len = 2, cp = c & 0x1F;
    else if ((c >> 4) == 14) len = 3, cp = c & 0x0F;
    else if ((c >> 3) == 30) len = 4, cp = c & 0x07;
    else len = 0;
    if (len == 0 || i + len > s.size()) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    bool ok = true;
    for (std::size_t k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc >> 6) != 2) ok = false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

// One statement's tokens: strings, numbers and style expressions, separated by commas.
class Line {
 public:
  explicit Line(std::string_view s) : m_s(s) {}
  void Skip() {
    while (m_i < m_s.size() && (std::isspace(static_cast<unsigned char>(m_s[m_i])) || m_s[m_i] == ',')) ++m_i;
  }
  bool AtEnd() {
    Skip();
    return m_i >= m_s.size();
  }
  std::string Word() {
    Skip();
    std::size_t b = m_i;
    while (m_i < m_s.size() && (std::isalnum(static_cast<unsigned char>(m_s[m_i])) || m_s[m_i] == '_')) ++m_i;
    return std::string(m_s.substr(b, m_i - b));
  }
  bool String(std::u16string* out) {
    Skip();
    if (m_i >= m_s.size() || m_s[m_i] != '"') return false;
    ++m_i;
    std::string raw;
    while (m_i < m_s.size() && m_s[m_i] != '"') {
      if (m_s[m_i] == '\\' && m_i + 1 < m_s.size()) ++m_i;
      raw.push_back(m_s[m_i++]);
    }
    if (m_i >= m_s.size()) return false;
    ++m_i;
    *out = Widen(raw);
    return true;
  }
  bool Number(long long* out) {
    Skip();
    std::size_t b = m_i;
    if (m_i < m_s.size() && (m_s[m_i] == '-' || m_s[m_i] == '+')) ++m_i;
    while (m_i < m_s.size() && std::isalnum(static_cast<unsigned char>(m_s[m_i]))) ++m_i;
    std::string t(m_s.substr(b, m_i - b));
    if (t.empty()) return false;
    char* end = nullptr;
    *out = std::strtoll(t.c_str(), &end, 0);
    return end && *end == 0;
  }
  bool Int(int* out) {
    long long v;
    if (!Number(&v)) return false;
    *out = static_cast<int>(v);
    return true;
  }
  // NAME | NAME | 0x10 ...
  bool Style(DWORD* out, std::string* bad) {
    DWORD v = 0;
    for (;;) {
      Skip();
      if (m_i >= m_s.size()) return false;
      if (std::isdigit(static_cast<unsigned char>(m_s[m_i]))) {
        long long n;
        if (!Number(&n)) return false;
        v |= static_cast<DWORD>(n);
      } else {
        std::string w = Word();
        auto it = StyleNames().find(w);
        if (it == StyleNames().end()) {
          *bad = w.empty() ? std::string(m_s.substr(m_i, 1)) : w;
          return false;
        }
        v |= it->second;
      }
      while (m_i < m_s.size() && (m_s[m_i] == ' ' || m_s[m_i] == '\t')) ++m_i;
      if (m_i < m_s.size() && m_s[m_i] == '|') {
        ++m_i;
        continue;
      }
      *out = v;
      return true;
    }
  }

 private:
  std::string_view m_s;
  std::size_t m_i = 0;
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace

std::size_t DialogTemplateLength(const char* p) {
  std::size_t i = 0;
  bool inBody = false;
  while (p[i]) {
    std::size_t b = i;
    while (p[i] && p[i] != '\n') ++i;
    std::string_view line = Trim(std::string_view(p + b, i - b));
    if (p[i] == '\n') ++i;
    if (line == "BEGIN") inBody = true;
    else if (line == "END" && inBody) return i;
  }
  return i;
}

bool ParseDialogTemplate(std::string_view text, DialogTemplate* out, std::string* error) {
  *out = DialogTemplate{};
  auto fail = [&](int lineNo, const std::string& why) {
    if (error) *error = "dialog template line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  if (auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  enum { kHeader, kOptions, kBody, kDone } state = kHeader;
  int lineNo = 0;
  std::size_t pos = 0;
  while (pos <= text.size() && state != kDone) {
    std::size_t nl = text.find('\n', pos);
    std::string_view raw = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
    pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
    ++lineNo;
    std::string_view s = Trim(raw);
    if (s.empty() || s[0] == '#' || s.substr(0, 2) == "//") continue;
    Line line(s);
    std::string key = line.Word();
    std::string bad;
    if (state == kHeader) {
      if (key != "DIALOG") return fail(lineNo, "expected DIALOG");
      if (!line.Int(&out->x) || !line.Int(&out->y) || !line.Int(&out->cx) || !line.Int(&out->cy))
        return fail(lineNo, "DIALOG wants x, y, cx, cy");
      state = kOptions;
    } else if (state == kOptions) {
      if (key == "STYLE") {
        if (!line.Style(&out->style, &bad)) return fail(lineNo, "unknown style " + bad);
      } else if (key == "EXSTYLE") {
        if (!line.Style(&out->exStyle, &bad)) return fail(lineNo, "unknown style " + bad);
      } else if (key == "CAPTION") {
        if (!line.String(&out->caption)) return fail(lineNo, "CAPTION wants a string");
      } else if (key == "CLASS") {
        if (!line.String(&out->className)) return fail(lineNo, "CLASS wants a string");
      } else if (key == "FONT") {
        if (!line.Int(&out->pointSize) || !line.String(&out->fontFace)) return fail(lineNo, "FONT wants size, \"face\"");
      } else if (key == "BEGIN") {
        state = kBody;
      } else {
        return fail(lineNo, "unknown statement " + key);
      }
    } else {
      if (key == "END") {
        state = kDone;
        break;
      }
      if (key != "CONTROL") return fail(lineNo, "expected CONTROL or END");
      DialogItemTemplate item;
      if (!line.String(&item.text) || !line.Int(&item.id) || !line.String(&item.className) ||
          !line.Style(&item.style, &bad) || !line.Int(&item.x) || !line.Int(&item.y) || !line.Int(&item.cx) ||
          !line.Int(&item.cy))
        return fail(lineNo, bad.empty() ? "CONTROL wants \"text\", id, \"class\", style, x, y, cx, cy"
                                        : "unknown style " + bad);
      if (!line.AtEnd() && !line.Style(&item.exStyle, &bad)) return fail(lineNo, "unknown style " + bad);
      if (!line.AtEnd()) return fail(lineNo, "unexpected text after CONTROL");
      item.style |= WS_CHILD;
      out->items.push_back(std::move(item));
    }
  }
  if (state != kDone) return fail(lineNo, "missing END");
  return true;
}

}  // namespace bp::user
