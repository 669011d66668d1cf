// Shell namespace helpers of the local panes.
#include "LocalShell.h"
#include "DragDrop.h"
#include "LocalMenuRules.h"
#include "LocalPaneRules.h"

ShellFileOperationFn g_pShellFileOperation = [](SHFILEOPSTRUCTW* op) { return ::SHFileOperationW(op); };

ShellDropEffectFn g_pShellDropEffect = [](LPCITEMIDLIST absolute, IDataObject* data, DWORD keys, DWORD proposed) {
    IDropTarget* target = GetShellDropTarget(absolute);
    const DWORD effect = AskShellDropEffect(target, data, keys, proposed);
    if (target)
        target->Release();
    return effect;
};

IShellFolder* BindLocalFolder(LPCITEMIDLIST absolute)
{
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop)) || !desktop)
        return nullptr;
    if (!absolute || absolute->mkid.cb == 0)
        return desktop;
    IShellFolder* folder = nullptr;
    HRESULT hr = desktop->BindToObject(absolute, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
    desktop->Release();
    return SUCCEEDED(hr) ? folder : nullptr;
}

int MakeUniqueName(const CString& folder, const CString& name, CString& uniqueName)
{
    CString candidate = name;
    for (int n = 2;; ++n) {
        CString path = folder;
        path += L"\\";
        path += candidate;
        WIN32_FIND_DATAW data;
        HANDLE found = FindFirstFileW(path.GetString(), &data);
        if (found == INVALID_HANDLE_VALUE)
            break;
        FindClose(found);
        candidate.Format(L"%s (%d)", name.GetString(), n);
    }
    uniqueName = candidate;
    return 1;
}

CString ShellVerbOf(IContextMenu* menu, UINT command)
{
    if (!menu || command < kShellFirstCommand || command > kShellLastCommand)
        return CString();
    wchar_t verb[256] = {};
    if (FAILED(menu->GetCommandString(command - kShellFirstCommand, GCS_VERBW, nullptr, reinterpret_cast<LPSTR>(verb),
                                      256)))
        return CString();
    verb[255] = 0;
    return CString(verb);
}

int FindVerbPosition(HMENU popup, IContextMenu* menu, const wchar_t* verb)
{
    return FindVerbPosition(popup, ShellVerbsOf(menu), verb);
}

ShellVerbLookup ShellVerbsOf(IContextMenu* menu)
{
    return [menu](UINT id) { return ShellVerbOf(menu, id); };
}

void TidyShellMenu(HMENU popup)
{
    for (int i = ::GetMenuItemCount(popup) - 1; i >= 0; --i) {
        MENUITEMINFOW info = {sizeof info};
        info.fMask = MIIM_FTYPE;
        if (::GetMenuItemInfoW(popup, i, TRUE, &info) && (info.fType & MFT_OWNERDRAW))
            ::DeleteMenu(popup, i, MF_BYPOSITION);
    }
    bool lastWasSeparator = true;    // a leading separator goes too
    for (int i = 0; i < ::GetMenuItemCount(popup);) {
        MENUITEMINFOW info = {sizeof info};
        info.fMask = MIIM_FTYPE;
        ::GetMenuItemInfoW(popup, i, TRUE, &info);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        if (separator && lastWasSeparator) {
            ::DeleteMenu(popup, i, MF_BYPOSITION);
            continue;
        }
        lastWasSeparator = separator;
        ++i;
    }
    const int count = ::GetMenuItemCount(popup);
    if (count > 0 && lastWasSeparator)
        ::DeleteMenu(popup, count - 1, MF_BYPOSITION);
}

UINT TrackLocalMenu(HMENU popup, HWND owner)
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    return static_cast<UINT>(
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr));
}

bool RunShellFileOperation(HWND owner, UINT operation, const std::vector<CString>& from, const CString& to,
                           FILEOP_FLAGS flags)
{
    const std::wstring sources = ShellPathList(from);
    if (sources.size() < 2)
        return false;
    std::wstring target(to.GetString(), to.GetLength());
    target.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.hwnd = owner;
    op.wFunc = operation;
    op.pFrom = sources.c_str();
    op.pTo = operation == FO_DELETE ? nullptr : target.c_str();
    op.fFlags = flags;
    const int result = g_pShellFileOperation(&op);
    return result == 0 && !op.fAnyOperationsAborted;
}

bool ClipboardHasPasteData()
{
    const UINT serverItems = ::RegisterClipboardFormatW(kServerItemsFormat);
    return ::IsClipboardFormatAvailable(CF_HDROP) || (serverItems && ::IsClipboardFormatAvailable(serverItems));
}

IDropTarget* GetShellDropTarget(LPCITEMIDLIST absolute)
{
    if (!absolute)
        return nullptr;
    IShellFolder* parent = nullptr;
    LPCITEMIDLIST last = nullptr;
    if (FAILED(::SHBindToParent(absolute, IID_IShellFolder, reinterpret_cast<void**>(&parent), &last)) || !parent)
        return nullptr;
    IDropTarget* target = nullptr;
    if (absolute->mkid.cb == 0) {
        // The desktop itself: its own view's target.
        parent->CreateViewObject(nullptr, IID_IDropTarget, reinterpret_cast<void**>(&target));
    } else if (FAILED(parent->GetUIObjectOf(nullptr, 1, &last, IID_IDropTarget, nullptr,
                                            reinterpret_cast<void**>(&target)))) {
        target = nullptr;
    }
    parent->Release();
    return target;
}

DWORD AskShellDropEffect(IDropTarget* target, IDataObject* data, DWORD keys, DWORD proposed)
{
    if (!target || !data)
        return DROPEFFECT_NONE;
    DWORD effect = proposed;
    POINTL origin = {0, 0};
    if (FAILED(target->DragEnter(data, keys, origin, &effect)))
        effect = DROPEFFECT_NONE;
    target->DragLeave();
    return effect;
}
