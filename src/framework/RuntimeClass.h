// Run-time class information: each dialog class can say its own name and its
// base class, and be asked whether it is of a given class.
#pragma once

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;

    bool IsDerivedFrom(const CRuntimeClass* base) const {
        for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass) {
            if (c == base) {
                return true;
            }
        }
        return false;
    }
};

#define RUNTIME_CLASS(theClass) (&theClass::classInfo)

// Inside the class body. The root class (CWnd) declares it too; every derived
// class that declares it overrides GetRuntimeClass.
#define DECLARE_DYNAMIC(theClass)                                                                  \
  public:                                                                                          \
    static const CRuntimeClass classInfo;                                                          \
    virtual const CRuntimeClass* GetRuntimeClass() const {                                         \
        return &theClass::classInfo;                                                               \
    }

// In the class's source file.
#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                                     \
    const CRuntimeClass theClass::classInfo = {#theClass, RUNTIME_CLASS(baseClass)};
#define IMPLEMENT_DYNAMIC_ROOT(theClass)                                                           \
    const CRuntimeClass theClass::classInfo = {#theClass, nullptr};
