// String table look-up by the chosen language, and the updater's message box.
#include "UpdateTexts.h"
#include "FileUtils.h"
#include "MessageBoxDlg.h"
#include "ToviRegistry.h"
#include "Wnd.h"

namespace {

// The string from one language's block of the table; false when that block has no entry.
bool StringInLanguage(UINT id, LANGID language, CString& out)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (info == nullptr)
        return false;
    HGLOBAL data = ::LoadResource(module, info);
    const wchar_t* p = data != nullptr ? static_cast<const wchar_t*>(::LockResource(data)) : nullptr;
    if (p == nullptr)
        return false;
    // A block holds 16 counted strings.
    for (UINT i = 0; i < id % 16; ++i)
        p += 1 + *p;
    if (*p == 0)
        return false;
    out = CString(p + 1, *p);
    return true;
}

}

CString LoadResString(UINT id)
{
    CString text;
    if (StringInLanguage(id, CFileUtils::TextLanguage(), text))
        return text;
    if (StringInLanguage(id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text))
        return text;
    return CString();
}

int ShowUpdateMessage(int index, HWND owner, const wchar_t* text, UINT flags)
{
    CString title(L"CorvaneIXO");
    CToviRegistry::GetMessageBoxTitle(index, title);
    CMessageBoxDlg box(owner != nullptr ? CWnd::FromHandle(owner) : nullptr);
    box.m_nProductIndex = index;
    box.m_pszMessage = text;
    box.m_pszCaption = title.GetString();
    box.m_nType = flags;
    return static_cast<int>(box.DoModal());
}
