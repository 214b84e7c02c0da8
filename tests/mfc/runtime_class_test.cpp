// Run-time class names and IsKindOf along a chain that ends in the framework's classes.
#include <gtest/gtest.h>

#include <string>

#include "platform/mfc/afxwin.h"

namespace {

class CTestDlgEx : public CDialog {
  DECLARE_DYNAMIC(CTestDlgEx)

 public:
  CTestDlgEx() : CDialog(1) {}
};
IMPLEMENT_DYNAMIC(CTestDlgEx, CDialog)

class CTestBtnEx : public CButton {
  DECLARE_DYNAMIC(CTestBtnEx)
};
IMPLEMENT_DYNAMIC(CTestBtnEx, CButton)

class CPlain : public CButton {};  // no run-time information of its own

TEST(RuntimeClass, NamesComeOutAsDeclared) {
  CTestDlgEx dlg;
  CTestBtnEx btn;
  CPlain plain;
  CProgressCtrl progress;
  CStatic label;
  EXPECT_STREQ(dlg.GetRuntimeClass()->m_lpszClassName, "CTestDlgEx");
  EXPECT_STREQ(btn.GetRuntimeClass()->m_lpszClassName, "CTestBtnEx");
  EXPECT_STREQ(plain.GetRuntimeClass()->m_lpszClassName, "CButton");
  EXPECT_STREQ(progress.GetRuntimeClass()->m_lpszClassName, "CProgressCtrl");
  EXPECT_STREQ(label.GetRuntimeClass()->m_lpszClassName, "CStatic");
  EXPECT_EQ(dlg.GetRuntimeClass()->m_nObjectSize, static_cast<int>(sizeof(CTestDlgEx)));

  std::string chain;
  for (const CRuntimeClass* c = dlg.GetRuntimeClass(); c; c = c->GetBaseClass()) chain += std::string(c->m_lpszClassName) + ">";
  EXPECT_EQ(chain, "CTestDlgEx>CDialog>CWnd>CCmdTarget>CObject>");
}

TEST(RuntimeClass, IsKindOf) {
  CTestBtnEx btn;
  EXPECT_TRUE(btn.IsKindOf(RUNTIME_CLASS(CButton)));
  EXPECT_TRUE(btn.IsKindOf(RUNTIME_CLASS(CWnd)));
  EXPECT_TRUE(btn.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(btn.IsKindOf(RUNTIME_CLASS(CDialog)));
  EXPECT_FALSE(btn.IsKindOf(RUNTIME_CLASS(CTestDlgEx)));
  CBitmap bmp;
  EXPECT_TRUE(bmp.IsKindOf(RUNTIME_CLASS(CGdiObject)));
  EXPECT_FALSE(bmp.IsKindOf(RUNTIME_CLASS(CFont)));
}

}  // namespace
