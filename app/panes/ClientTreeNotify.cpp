// The local folder tree and the shell's change notices: drives and media that come and go,
// folders created, renamed or removed.
#include "ClientTreeCtrl.h"
#include "LocalShell.h"
#include "TraceLog.h"
#include <shlwapi.h>

void CClientTreeCtrl::UpdateDrive(const CString& path, bool added)
{
    HTREEITEM computer = FindMyComputer();
    _LOCAL_TREE_ITEM* computerRecord = GetRecord(computer);
    if (!computerRecord || path.IsEmpty())
        return;
    HTREEITEM existing = nullptr;
    for (HTREEITEM child = GetChildItem(computer); child; child = GetNextSiblingItem(child))
        if (GetItemPath(child).CompareNoCase(path) == 0)
            existing = child;
    if (added && !existing) {
        HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        SetRedraw(FALSE);
        IShellFolder* folder = BindLocalFolder(computerRecord->absolute);
        IEnumIDList* children = nullptr;
        if (folder && SUCCEEDED(folder->EnumObjects(m_hWnd, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &children)) &&
            children) {
            LPITEMIDLIST child = nullptr;
            ULONG fetched = 0;
            while (children->Next(1, &child, &fetched) == S_OK && fetched == 1) {
                LPITEMIDLIST absolute = ConcatPidl(m_pMalloc, computerRecord->absolute, child);
                const CString childPath = ShellItemPath(absolute);
                DWORD attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_CANCOPY | SFGAO_CANMOVE |
                                   SFGAO_CANDELETE | SFGAO_CANRENAME;
                LPCITEMIDLIST one = child;
                STRRET strret = {};
                wchar_t name[260] = {};
                if (!childPath.IsEmpty() && ::GetDriveTypeW(childPath) == DRIVE_REMOVABLE &&
                    childPath.CompareNoCase(path) == 0 && SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)) &&
                    (attributes & SFGAO_FOLDER) && SUCCEEDED(folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &strret)) &&
                    SUCCEEDED(::StrRetToBufW(&strret, child, name, 260)))
                    InsertChild(computer, folder, child, attributes, name);
                if (absolute)
                    m_pMalloc->Free(absolute);
                m_pMalloc->Free(child);
            }
            children->Release();
        }
        if (folder)
            folder->Release();
        SetRedraw(TRUE);
        ::SetCursor(old);
    } else if (!added && existing) {
        RemoveItem(existing);
    }
    if (GetSelectedItem() == computer)
        RefreshFolder(computer, false, true);
}

LRESULT CClientTreeCtrl::OnShellNoti(WPARAM wParam, LPARAM lParam)
{
    auto** pidls = reinterpret_cast<LPITEMIDLIST*>(wParam);
    const LONG event = static_cast<LONG>(lParam);
    const CString path = pidls ? ShellItemPath(pidls[0]) : CString();
    switch (event) {
    case SHCNE_DRIVEREMOVED:
        TraceLog(1, L"[ OnShellNoti ] SHCNE_DRIVEREMOVED\n");
        UpdateDrive(path, false);
        break;
    case SHCNE_DRIVEADD:
        UpdateDrive(path, true);
        break;
    case SHCNE_MEDIAINSERTED:
    case SHCNE_MEDIAREMOVED: {
        HTREEITEM computer = FindMyComputer();
        if (!computer || ::GetDriveTypeW(path) != DRIVE_CDROM)
            break;
        if (event == SHCNE_MEDIAREMOVED && !m_nMediaRemoved) {
            m_nMediaRemoved = 1;
            break;
        }
        RefreshFolder(computer, true, GetSelectedItem() == computer);
        m_nMediaRemoved = 0;
        break;
    }
    case SHCNE_RENAMEITEM:
    case SHCNE_RENAMEFOLDER:
        if (path.Find(L"RECYCLER", 1) > 0) {
            HTREEITEM selected = GetSelectedItem();
            if (selected)
                RefreshFolder(selected, (GetItemState(selected, TVIS_EXPANDED) & TVIS_EXPANDED) != 0, true);
            RefreshRecycleBinIcon();
        }
        break;
    default:
        break;
    }
    return 0;
}
