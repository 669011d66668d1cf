// CFileUtils: the products' icons (customised files first) and dialog fonts.
#include "FileUtils.h"
#include "Library.h"
#include "SystemFacts.h"
#include "ToviRegistry.h"

namespace {

struct IconRole {
    const wchar_t* files[3];
    unsigned resources[3];   // 0: none
    bool transparent;
};

const IconRole kMainIcon = { { L"ixo_main.ico", L"ixo_main_drive.ico", L"ixo_main_backup.ico" }, { 591, 590, 619 }, false };
const IconRole kTrayOnIcon = { { L"ixo_tray_on.ico", L"ixo_tray_on_drive.ico", L"ixo_tray_on_backup.ico" }, { 615, 616, 630 }, false };
const IconRole kTrayOffIcon = { { L"ixo_tray_off.ico", L"ixo_tray_off_drive.ico", L"ixo_tray_off_backup.ico" }, { 614, 617, 629 }, false };
const IconRole kTrayRunIcon = { { L"ixo_tray_run.ico", L"ixo_tray_run_drive.ico", L"ixo_tray_run_backup.ico" }, { 0, 0, 628 }, true };

HICON ProductIcon(const IconRole& role, int index)
{
    if (index < 0 || index > 2)
        return nullptr;
    CString documents;
    if (CSystemFacts::Current().DocumentsFolder(documents)) {
        CString file = documents + L"\\VariruDAD\\Image\\" + role.files[index];
        if (::GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES) {
            UINT flags = LR_LOADFROMFILE | LR_SHARED | LR_DEFAULTSIZE | (role.transparent ? LR_LOADTRANSPARENT : 0);
            HANDLE icon = ::LoadImageW(nullptr, file, IMAGE_ICON, 0, 0, flags);
            if (icon != nullptr)
                return static_cast<HICON>(icon);
        }
    }
    if (role.resources[index] == 0)
        return nullptr;
    return ::LoadIconW(ToviInterfaceInstance(), MAKEINTRESOURCEW(role.resources[index]));
}

}

HICON CFileUtils::GetMainIcon(int index) { return ProductIcon(kMainIcon, index); }
HICON CFileUtils::GetTrayOnIcon(int index) { return ProductIcon(kTrayOnIcon, index); }
HICON CFileUtils::GetTrayOffIcon(int index) { return ProductIcon(kTrayOffIcon, index); }
HICON CFileUtils::GetTrayRunIcon(int index) { return ProductIcon(kTrayRunIcon, index); }

HICON CFileUtils::ToviLoadImage(unsigned resourceId, int cx, int cy)
{
    return static_cast<HICON>(::LoadImageW(ToviInterfaceInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, cx, cy, LR_SHARED));
}

CString CFileUtils::GetFont(int index)
{
    unsigned short language = 0;
    if (!CToviRegistry::GetLanguage(index, &language) || language == LANG_KOREAN)
        return L"\xB9D1\xC740 \xACE0\xB515";   // the Korean dialog face
    CString face;
    CToviRegistry::GetDialogFont(index, face);
    return face;
}

CString CFileUtils::GetDlgFont(int index)
{
    CString face;
    CToviRegistry::GetDialogFont(index, face);
    return face;
}

bool CFileUtils::SetDlgFont(int index, CString face)
{
    return CToviRegistry::SetDialogFont(index, face);
}
