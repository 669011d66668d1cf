// Where resources come from: registered modules first, then the program.
#include "Resources.h"
#include <algorithm>
#include <mutex>
#include <vector>

namespace {

std::mutex& RegistryLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<HINSTANCE>& Registered()
{
    static std::vector<HINSTANCE> modules;
    return modules;
}

// Registered modules in order, then the program.
std::vector<HINSTANCE> SearchOrder()
{
    std::vector<HINSTANCE> order;
    {
        std::lock_guard<std::mutex> guard(RegistryLock());
        order = Registered();
    }
    HINSTANCE exe = GetModuleHandleW(nullptr);
    if (std::find(order.begin(), order.end(), exe) == order.end())
        order.push_back(exe);
    return order;
}

}

void AfxRegisterResourceModule(HINSTANCE module)
{
    if (!module)
        return;
    std::lock_guard<std::mutex> guard(RegistryLock());
    auto& modules = Registered();
    if (std::find(modules.begin(), modules.end(), module) == modules.end())
        modules.push_back(module);
}

void AfxUnregisterResourceModule(HINSTANCE module)
{
    std::lock_guard<std::mutex> guard(RegistryLock());
    auto& modules = Registered();
    modules.erase(std::remove(modules.begin(), modules.end(), module), modules.end());
}

HINSTANCE AfxFindResourceHandle(LPCTSTR name, LPCTSTR type)
{
    std::vector<HINSTANCE> order = SearchOrder();
    for (HINSTANCE module : order) {
        if (FindResourceW(module, name, type))
            return module;
    }
    return order.back();
}

bool AfxLoadStringResourceFrom(HINSTANCE module, UINT id, const wchar_t** text, int* length)
{
    // A string table block holds 16 counted strings; block n + 1 holds ids 16n .. 16n + 15.
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW((id >> 4) + 1), MAKEINTRESOURCEW(6));
    if (!info)
        return false;
    HGLOBAL data = LoadResource(module, info);
    const WORD* p = data ? static_cast<const WORD*>(LockResource(data)) : nullptr;
    if (!p)
        return false;
    const WORD* end = p + SizeofResource(module, info) / sizeof(WORD);
    for (UINT i = 0; i < (id & 15); ++i) {
        if (p >= end)
            return false;
        p += 1 + *p;
    }
    if (p >= end || *p == 0 || p + 1 + *p > end)
        return false;
    *text = reinterpret_cast<const wchar_t*>(p + 1);
    *length = *p;
    return true;
}

bool AfxLoadStringResource(UINT id, const wchar_t** text, int* length)
{
    for (HINSTANCE module : SearchOrder()) {
        if (AfxLoadStringResourceFrom(module, id, text, length))
            return true;
    }
    return false;
}
