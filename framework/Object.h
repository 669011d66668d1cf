// Root of the framework's classes: run-time class information and dynamic creation.
#pragma once
#include "FrameworkApi.h"
#include <windows.h>

class CObject;

// One per class that declares DECLARE_DYNAMIC or DECLARE_DYNCREATE. The base is reached through
// a function so that a class in one module can name a base that lives in another.
struct FW_API CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();          // null unless the class is DYNCREATE
    CRuntimeClass* (*m_pfnGetBaseClass)();    // null for CObject

    CRuntimeClass* GetBaseClass() const { return m_pfnGetBaseClass ? m_pfnGetBaseClass() : nullptr; }
    // A new object of this class, or null when the class cannot be created dynamically or
    // its constructor threw. The caller owns the result.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    // The creatable class registered under that name, or null.
    static CRuntimeClass* FromName(LPCSTR lpszClassName);
};

// Registers a class for CRuntimeClass::FromName; one static instance per DYNCREATE class.
struct FW_API CRuntimeClassRegistration {
    explicit CRuntimeClassRegistration(CRuntimeClass* pClass);
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name) \
public: \
    static CRuntimeClass* GetThisClass(); \
    virtual CRuntimeClass* GetRuntimeClass() const;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* CreateObject();

#define FW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew) \
    CRuntimeClass* class_name::GetThisClass() \
    { \
        static CRuntimeClass runtimeClass = { #class_name, (int)sizeof(class_name), pfnNew, \
                                              &base_class_name::GetThisClass }; \
        return &runtimeClass; \
    } \
    CRuntimeClass* class_name::GetRuntimeClass() const { return class_name::GetThisClass(); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    FW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() { return new class_name; } \
    FW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject) \
    static CRuntimeClassRegistration fwRegister_##class_name(class_name::GetThisClass());

class FW_API CObject {
public:
    virtual ~CObject() = default;

    static CRuntimeClass* GetThisClass();
    virtual CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* pClass) const;

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

// Checked downcast: the object when it is of that class (or derived), else null.
template <class T>
T* DynamicDowncast(CObject* pObject)
{
    return (pObject && pObject->IsKindOf(RUNTIME_CLASS(T))) ? static_cast<T*>(pObject) : nullptr;
}
#define DYNAMIC_DOWNCAST(class_name, object) DynamicDowncast<class_name>(object)
#define STATIC_DOWNCAST(class_name, object) static_cast<class_name*>(object)
