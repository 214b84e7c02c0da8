// CObject and run-time class information (DECLARE_DYNAMIC / IMPLEMENT_DYNAMIC / RUNTIME_CLASS).
// The class records are constant-initialised, so they are usable from any static initialiser
// and from any thread.
#pragma once
#include "platform/win32/types.h"

class CObject;

struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* (*m_pfnGetBaseClass)();

  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
  const CRuntimeClass* GetBaseClass() const { return m_pfnGetBaseClass ? m_pfnGetBaseClass() : nullptr; }
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                       \
 public:                                                  \
  static const CRuntimeClass class##class_name;           \
  static const CRuntimeClass* _GetBaseClass##class_name(); \
  const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                                   \
  const CRuntimeClass* class_name::_GetBaseClass##class_name() { return RUNTIME_CLASS(base_class_name); } \
  const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)),  \
                                                       0xFFFF, nullptr, &class_name::_GetBaseClass##class_name}; \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

class CObject {
 public:
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;

  BOOL IsKindOf(const CRuntimeClass* pClass) const;

  static const CRuntimeClass classCObject;

  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;

 protected:
  CObject() = default;
};
