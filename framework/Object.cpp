// Run-time class information and dynamic creation.
#include "Object.h"
#include "Trace.h"
#include <cstring>
#include <mutex>
#include <vector>

namespace {
struct ClassRegistry {
    std::mutex lock;
    std::vector<CRuntimeClass*> classes;
};
ClassRegistry& Registry()
{
    static ClassRegistry registry;
    return registry;
}
}

CObject* CRuntimeClass::CreateObject() const
{
    if (m_pfnCreateObject == nullptr)
        return nullptr;
    try {
        return m_pfnCreateObject();
    } catch (...) {
        FwTraceException("CreateObject", m_lpszClassName);
        return nullptr;
    }
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p != nullptr; p = p->GetBaseClass()) {
        if (p == pBaseClass)
            return true;
    }
    return false;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (lpszClassName == nullptr)
        return nullptr;
    ClassRegistry& registry = Registry();
    std::lock_guard<std::mutex> hold(registry.lock);
    for (CRuntimeClass* p : registry.classes) {
        if (std::strcmp(p->m_lpszClassName, lpszClassName) == 0)
            return p;
    }
    return nullptr;
}

CRuntimeClassRegistration::CRuntimeClassRegistration(CRuntimeClass* pClass)
{
    ClassRegistry& registry = Registry();
    std::lock_guard<std::mutex> hold(registry.lock);
    registry.classes.push_back(pClass);
}

CRuntimeClass* CObject::GetThisClass()
{
    static CRuntimeClass runtimeClass = { "CObject", (int)sizeof(CObject), nullptr, nullptr };
    return &runtimeClass;
}

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return GetThisClass();
}

bool CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return this != nullptr && GetRuntimeClass()->IsDerivedFrom(pClass);
}
