// Dialogs from templates: parsing, dialog units, modal runs ended by EndDialog and by
// WM_SYSCOMMAND SC_CLOSE, the keyboard defaults, and a worker's SendMessageW to a control while
// the modal loop runs. The dialogs run on a UI thread of their own; the test drives it.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "platform/win32/user/dialog_template.h"
#include "tests/user/support.h"

namespace {

namespace hl = bp::headless;

const char kTemplate[] =
    "# a test dialog\n"
    "DIALOG 10, 20, 200, 100\n"
    "STYLE WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT\n"
    "EXSTYLE WS_EX_APPWINDOW\n"
    "CAPTION \"Test \\\"dialog\\\"\"\n"
    "FONT 9, \"Bugpost Test\"\n"
    "BEGIN\n"
    "  CONTROL \"发送\", 1000, \"Button\", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 8, 8, 40, 14\n"
    "  CONTROL \"Static\", 1001, \"Static\", WS_VISIBLE | WS_GROUP | SS_LEFT, 8, 30, 100, 10\n"
    "  CONTROL \"\", 1002, \"msctls_progress32\", WS_VISIBLE | WS_BORDER, 8, 50, 100, 4\n"
    "  CONTROL \"Cancel\", 2, \"Button\", WS_VISIBLE | WS_TABSTOP, 60, 8, 40, 14, 0x4\n"
    "END\n";

TEST(DialogTemplate, ParsesStatementsAndControls) {
  bp::user::DialogTemplate t;
  std::string error;
  ASSERT_TRUE(bp::user::ParseDialogTemplate(kTemplate, &t, &error)) << error;
  EXPECT_EQ(t.x, 10);
  EXPECT_EQ(t.cy, 100);
  EXPECT_EQ(t.style, WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT);
  EXPECT_EQ(t.exStyle, WS_EX_APPWINDOW);
  EXPECT_EQ(t.caption, u"Test \"dialog\"");
  EXPECT_EQ(t.pointSize, 9);
  EXPECT_EQ(t.fontFace, u"Bugpost Test");
  ASSERT_EQ(t.items.size(), 4u);
  EXPECT_EQ(t.items[0].text, u"发送");
  EXPECT_EQ(t.items[0].id, 1000);
  EXPECT_EQ(t.items[0].style, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
  EXPECT_EQ(t.items[2].className, u"msctls_progress32");
  EXPECT_EQ(t.items[3].exStyle, 0x4u);
  EXPECT_EQ(bp::user::DialogTemplateLength(kTemplate), sizeof(kTemplate) - 1);
}

TEST(DialogTemplate, RefusesMalformedTemplates) {
  const char* bad[] = {
      "",
      "STYLE WS_POPUP\nDIALOG 0,0,1,1\nBEGIN\nEND\n",
      "DIALOG 0, 0, 10\nBEGIN\nEND\n",
      "DIALOG 0,0,1,1\nSTYLE WS_NOSUCH\nBEGIN\nEND\n",
      "DIALOG 0,0,1,1\nBEGIN\nCONTROL \"a\", 1, \"Button\", WS_VISIBLE, 0, 0\nEND\n",
      "DIALOG 0,0,1,1\nBEGIN\nCONTROL \"unterminated, 1, \"Button\", 0, 0, 0, 1, 1\nEND\n",
      "DIALOG 0,0,1,1\nBEGIN\n",
      "DIALOG 0,0,1,1\nWHATEVER 1\nBEGIN\nEND\n",
  };
  for (const char* t : bad) {
    bp::user::DialogTemplate out;
    std::string error;
    EXPECT_FALSE(bp::user::ParseDialogTemplate(t, &out, &error)) << t;
    EXPECT_FALSE(error.empty());
  }
}

// State shared between the UI thread and the test.
struct ModalRun {
  std::atomic<HWND> dialog{nullptr};
  std::atomic<int> initDialogs{0};
  std::atomic<int> commands{0};
  std::atomic<int> lastCommand{0};
  std::atomic<int> sends{0};
  std::atomic<INT_PTR> result{-100};
  std::atomic<bool> done{false};
  bool endOnSend = true;
  bool hideOnSend = false;
};
ModalRun* g_run = nullptr;

INT_PTR CALLBACK TestDlgProc(HWND h, UINT m, WPARAM w, LPARAM) {
  switch (m) {
    case WM_INITDIALOG:
      g_run->dialog = h;
      g_run->initDialogs++;
      return TRUE;
    case WM_COMMAND:
      g_run->commands++;
      g_run->lastCommand = LOWORD(w);
      if (LOWORD(w) == 1000) g_run->sends++;
      if (LOWORD(w) == IDCANCEL) EndDialog(h, IDCANCEL);
      if (LOWORD(w) == 1000 && g_run->hideOnSend) ShowWindow(GetDlgItem(h, 1000), SW_HIDE);
      if (LOWORD(w) == 1000 && g_run->endOnSend) EndDialog(h, 7);
      return TRUE;
  }
  return FALSE;
}

DWORD ModalThread(LPVOID) {
  g_run->result = DialogBoxIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(kTemplate), nullptr,
                                          TestDlgProc, 0);
  g_run->done = true;
  return 0;
}

class ModalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::Use();
    hl::MovePointer(5000, 5000);
    g_run = &run;
  }
  void Start() {
    thread = CreateThread(nullptr, 0, ModalThread, nullptr, 0, nullptr);
    for (int i = 0; i < 2000 && !run.dialog; ++i) Sleep(1);
    ASSERT_TRUE(run.dialog.load());
    ASSERT_TRUE(hl::WaitIdle());
  }
  void Finish() {
    ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    CloseHandle(thread);
    thread = nullptr;
  }
  void TearDown() override {
    if (thread) {
      // Never leave the UI thread running into the next test.
      if (IsWindow(run.dialog)) PostMessageW(run.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      WaitForSingleObject(thread, 5000);
      CloseHandle(thread);
    }
    g_run = nullptr;
  }
  ModalRun run;
  HANDLE thread = nullptr;
};

TEST_F(ModalTest, ControlsComeFromTheTemplateInDialogUnits) {
  Start();
  HWND d = run.dialog;
  EXPECT_EQ(run.initDialogs.load(), 1);
  EXPECT_TRUE(IsWindowVisible(d));
  WCHAR cls[32];
  HWND b = GetDlgItem(d, 1000);
  ASSERT_TRUE(b);
  GetClassNameW(b, cls, 32);
  EXPECT_EQ(std::u16string(cls), u"Button");
  EXPECT_EQ(GetDlgCtrlID(b), 1000);
  EXPECT_TRUE(GetWindowLongPtrW(b, GWL_STYLE) & WS_CHILD);
  WCHAR text[16];
  GetWindowTextW(b, text, 16);
  EXPECT_EQ(std::u16string(text), u"发送");
  ASSERT_TRUE(GetDlgItem(d, 1002));
  GetClassNameW(GetDlgItem(d, 1002), cls, 32);
  EXPECT_EQ(std::u16string(cls), u"msctls_progress32");
  EXPECT_EQ(LOWORD(static_cast<DWORD_PTR>(SendMessageW(d, DM_GETDEFID, 0, 0))), 1000);
  EXPECT_EQ(HIWORD(static_cast<DWORD_PTR>(SendMessageW(d, DM_GETDEFID, 0, 0))), DC_HASDEFID);
  // Every control has the dialog font, and sits where MapDialogRect puts its template rectangle.
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(d, WM_GETFONT, 0, 0));
  ASSERT_TRUE(font);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(b, WM_GETFONT, 0, 0)), font);
  LOGFONTW lf{};
  GetObjectW(font, sizeof(lf), &lf);
  EXPECT_EQ(std::u16string(lf.lfFaceName), u"Bugpost Test");
  EXPECT_EQ(lf.lfHeight, -12);
  RECT du{8, 30, 108, 40};
  MapDialogRect(d, &du);
  RECT dr, sr;
  GetWindowRect(d, &dr);
  GetWindowRect(GetDlgItem(d, 1001), &sr);
  EXPECT_EQ(sr.left - dr.left, du.left);
  EXPECT_EQ(sr.top - dr.top, du.top);
  EXPECT_EQ(sr.right - sr.left, du.right - du.left);
  EXPECT_GT(du.left, 8) << "dialog units are larger than pixels with a 12-pixel font";
  RECT dlgDu{10, 20, 210, 120};
  MapDialogRect(d, &dlgDu);
  EXPECT_EQ(dr.left, dlgDu.left);
  EXPECT_EQ(dr.right - dr.left, dlgDu.right - dlgDu.left);
  EXPECT_EQ(GetFocus(), nullptr) << "focus is per thread: the test thread has none";
  PostMessageW(d, WM_COMMAND, 1000, 0);
  Finish();
  EXPECT_EQ(run.result.load(), 7);
}

TEST_F(ModalTest, EndedByEndDialogFromAClick) {
  Start();
  RECT r;
  GetWindowRect(GetDlgItem(run.dialog, 1000), &r);
  hl::Click(r.left + 3, r.top + 3);
  Finish();
  EXPECT_EQ(run.result.load(), 7);
  EXPECT_FALSE(IsWindow(run.dialog)) << "the modal run destroys its dialog";
}

TEST_F(ModalTest, EndedBySysCommandClose) {
  Start();
  PostMessageW(run.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  Finish();
  EXPECT_EQ(run.result.load(), IDCANCEL);
  EXPECT_EQ(run.lastCommand.load(), IDCANCEL);
}

TEST_F(ModalTest, EndedByAltF4) {
  Start();
  hl::KeyDown(VK_MENU);
  hl::PressKey(VK_F4);
  hl::KeyUp(VK_MENU);
  Finish();
  EXPECT_EQ(run.result.load(), IDCANCEL);
}

TEST_F(ModalTest, KeyboardDefaults) {
  run.endOnSend = false;
  Start();
  HWND d = run.dialog;
  // Enter goes to the default push button.
  hl::PressKey(VK_RETURN);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(run.lastCommand.load(), 1000);
  EXPECT_EQ(run.commands.load(), 1);
  // Space on the focused button (the first tab stop) clicks it.
  hl::PressKey(VK_SPACE);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(run.commands.load(), 2);
  // Hidden, the default button cannot be pressed with Enter (the style is the visibility).
  HWND b = GetDlgItem(d, 1000);
  SetWindowLongPtrW(b, GWL_STYLE, GetWindowLongPtrW(b, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE));
  hl::PressKey(VK_RETURN);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(run.commands.load(), 2);
  // Escape cancels.
  hl::PressKey(VK_ESCAPE);
  Finish();
  EXPECT_EQ(run.result.load(), IDCANCEL);
}

// The report dialog hides its send button while a report goes out: neither Enter nor the space
// bar may press it then, though it had the focus. The focus moves on to the next control that
// can take it (here the Cancel button).
TEST_F(ModalTest, AHiddenButtonTakesNoKeys) {
  run.endOnSend = false;
  run.hideOnSend = true;
  Start();
  RECT r;
  GetWindowRect(GetDlgItem(run.dialog, 1000), &r);
  hl::Click(r.left + 3, r.top + 3);
  ASSERT_TRUE(hl::WaitIdle());
  ASSERT_EQ(run.sends.load(), 1);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(run.dialog, 1000)));
  hl::PressKey(VK_RETURN);
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_EQ(run.sends.load(), 1) << "Enter: the default button is hidden";
  hl::PressKey(VK_SPACE);
  Finish();
  EXPECT_EQ(run.sends.load(), 1);
  EXPECT_EQ(run.result.load(), IDCANCEL) << "the keys went to the control that has the focus now";
}

DWORD ProgressWorker(LPVOID p) {
  HWND bar = static_cast<HWND>(p);
  DWORD ok = 0;
  for (int i = 0; i <= 100; ++i) {
    LRESULT old = SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(i), 0);
    // Each send returns after the UI thread has stored the position.
    if (old == (i == 0 ? 0 : i - 1)) ++ok;
  }
  return ok;
}

TEST_F(ModalTest, WorkerSendsToAControlWhileTheModalLoopRuns) {
  run.endOnSend = false;
  Start();
  HWND bar = GetDlgItem(run.dialog, 1002);
  HANDLE worker = CreateThread(nullptr, 0, ProgressWorker, bar, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(worker, 10000), WAIT_OBJECT_0);
  DWORD ok = 0;
  GetExitCodeThread(worker, &ok);
  CloseHandle(worker);
  EXPECT_EQ(ok, 101u);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 100);
  EXPECT_FALSE(run.done.load());
  ASSERT_TRUE(hl::WaitIdle());
  EXPECT_TRUE(hl::SavePng(run.dialog, hl::ArtifactPath("user_test_dialog.png")));
  PostMessageW(run.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  Finish();
}

TEST(DialogResource, Template102FromTheResources) {
  hl::Use();
  static HWND s_dialog;
  s_dialog = nullptr;
  HWND d = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(102), nullptr,
                              [](HWND h, UINT m, WPARAM, LPARAM) -> INT_PTR {
                                if (m == WM_INITDIALOG) s_dialog = h;
                                return FALSE;
                              },
                              0);
  ASSERT_TRUE(d);
  EXPECT_EQ(s_dialog, d);
  DWORD style = static_cast<DWORD>(GetWindowLongPtrW(d, GWL_STYLE));
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS),
            WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(d, GWL_EXSTYLE)), WS_EX_APPWINDOW);
  struct Want {
    int id;
    const char16_t* cls;
    const char16_t* text;
    DWORD style;
  } want[] = {{1000, u"Button", u"发送", WS_TABSTOP | BS_DEFPUSHBUTTON},
              {1001, u"Static", u"Static", WS_GROUP | SS_LEFT},
              {1002, u"msctls_progress32", u"", WS_BORDER},
              {1003, u"Static", u"Static", WS_GROUP | SS_LEFT}};
  HWND prev = nullptr;
  for (auto& w : want) {
    HWND c = GetDlgItem(d, w.id);
    ASSERT_TRUE(c) << w.id;
    WCHAR buf[64];
    GetClassNameW(c, buf, 64);
    EXPECT_EQ(std::u16string(buf), w.cls);
    GetWindowTextW(c, buf, 64);
    EXPECT_EQ(std::u16string(buf), w.text);
    DWORD s = static_cast<DWORD>(GetWindowLongPtrW(c, GWL_STYLE));
    EXPECT_EQ(s & (w.style | WS_CHILD | WS_VISIBLE), w.style | WS_CHILD | WS_VISIBLE) << w.id;
    if (prev) {
      EXPECT_EQ(GetWindow(prev, GW_HWNDNEXT), c) << "template order";
    }
    prev = c;
  }
  EXPECT_EQ(LOWORD(static_cast<DWORD_PTR>(SendMessageW(d, DM_GETDEFID, 0, 0))), 1000);
  DestroyWindow(d);
}

}  // namespace
