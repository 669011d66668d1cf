// The server file pane's filling worker, column sets and worker control.
#include "ServerListPane.h"
#include "ServerItemCompare.h"
#include "ServerNameRules.h"
#include "ServerTreeCtrl.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "TraceLog.h"
#include "VImageList.h"
#include <objbase.h>
#include <shellapi.h>
#include <cstdlib>
#include <cstring>

namespace {

bool Is(const char* text, const char* value) { return std::strcmp(text, value) == 0; }

struct Column {
    unsigned id;
    int width;
};

// Column sets by list kind, without and with the privacy model's custom columns.
const std::vector<Column>& ColumnSet(int kind, bool custom)
{
    static const std::vector<Column> sets[4][2] = {
        {{{14000, 250}, {14001, 80}, {14002, 160}, {14003, 142}, {14202, 180}},
         {{14000, 250}, {14086, 80}, {14251, 80}, {14001, 80}, {14003, 144}, {14202, 180}}},
        {{{14000, 250}, {14029, 200}, {14001, 80}, {14002, 160}, {14003, 144}, {14202, 180}},
         {{14000, 250}, {14086, 80}, {14251, 110}, {14029, 200}, {14001, 80}, {14003, 144}, {14202, 180}}},
        {{{14000, 250}, {14029, 200}, {14001, 80}, {14002, 160}, {14003, 144}, {14202, 180}},
         {{14000, 250}, {14086, 80}, {14251, 110}, {14083, 200}, {14001, 80}, {14003, 144}, {14202, 180}}},
        {{{14000, 250}, {14001, 80}, {14214, 100}, {14215, 100}, {14216, 144}, {14217, 90}, {14202, 180}},
         {{14000, 250}, {14251, 110}, {14001, 80}, {14214, 100}, {14216, 144}, {14217, 90}, {14202, 180}}},
    };
    return sets[kind][custom ? 1 : 0];
}

int KindOf(const char* type)
{
    if (Is(type, "6") || Is(type, "D"))
        return 1;
    if (Is(type, "7") || Is(type, "8"))
        return 2;
    if (Is(type, "9"))
        return 3;
    return 0;
}

void SetText(HWND list, int row, int column, const wchar_t* text)
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text);
    ::SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

// One image list for every pane's report view; made on the GUI thread, filled by the worker.
CVImageList& Images()
{
    static CVImageList images;
    return images;
}

}

CServerListPane::CServerListPane(CServerListCtrl* list, CServerTreeCtrl* tree, CToviProto* proto)
    : m_pList(list), m_pTree(tree), m_pProto(proto)
{
    if (m_pList && m_pList->GetSafeHwnd()) {
        // The image list is shared by every list: no list may destroy it.
        m_pList->ModifyStyle(0, LVS_SHAREIMAGELISTS);
        ::SendMessage(m_pList->GetSafeHwnd(), LVM_SETIMAGELIST, LVSIL_SMALL,
                      reinterpret_cast<LPARAM>(Images().GetSmallImageList()));
    }
}

CServerListPane::~CServerListPane()
{
    if (m_pList && m_pList->GetSafeHwnd())
        ClearList();
    else
        StopListThread();
}

bool CServerListPane::IsFilling() const
{
    return m_hWorker && WaitForSingleObject(m_hWorker, 0) == WAIT_TIMEOUT;
}

void CServerListPane::WaitWorker()
{
    // The worker inserts rows through SendMessage: keep answering them while it ends.
    while (m_hWorker && WaitForSingleObject(m_hWorker, 0) == WAIT_TIMEOUT) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(1, &m_hWorker, FALSE, 50, QS_ALLINPUT | QS_SENDMESSAGE);
        }
    }
    if (m_hWorker) {
        CloseHandle(m_hWorker);
        m_hWorker = nullptr;
    }
}

void CServerListPane::StopListThread()
{
    m_bThreadStop = true;
    WaitWorker();
    m_bThreadStop = false;
}

void CServerListPane::WaitListThreadExit()
{
    WaitWorker();
}

void CServerListPane::ClearList()
{
    StopListThread();
    HWND list = m_pList->GetSafeHwnd();
    if (!list)
        return;
    m_pList->SetRedraw(FALSE);
    int count = m_pList->GetItemCount();
    for (int i = 0; i < count; ++i)
        delete reinterpret_cast<_PROTO_FOLDER_INFO*>(m_pList->GetItemData(i));
    m_pList->DeleteAllItems();
    m_pList->SetRedraw(TRUE);
    m_rowCount = 0;
}

void CServerListPane::SetListColumn(const _PROTO_FOLDER_INFO& folder)
{
    HWND list = m_pList->GetSafeHwnd();
    if (!list)
        return;
    int kind = KindOf(folder.Attr27);
    m_pList->SetRedraw(FALSE);
    HWND header = reinterpret_cast<HWND>(::SendMessage(list, LVM_GETHEADER, 0, 0));
    int columns = header ? static_cast<int>(::SendMessage(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < columns; ++i)
        ::SendMessage(list, LVM_DELETECOLUMN, 0, 0);
    if (m_pProto && m_pProto->OptionInfo.PrivacyModel[0] == 'Y') {
        m_customColumns = true;
        TraceLog(1, L" [ CServerRightView::SetListColumn ] PRIVACY MODEL = 'Y' --> * CUSTOM COLUMN = TRUE! * \n");
    }
    int index = 0;
    for (const Column& c : ColumnSet(kind, m_customColumns)) {
        CString heading = CToviString::GetString(c.id);
        m_pList->InsertColumn(index++, heading.GetString(), c.id == 14001 ? LVCFMT_RIGHT : LVCFMT_LEFT, c.width);
    }
    m_pList->m_nListKind = kind;
    m_pList->SetRedraw(TRUE);
}

bool CServerListPane::StartListThread()
{
    ClearList();
    if (m_hWorker)
        return true;
    m_language = CToviTextLanguage::GetThreadLanguage();
    m_hWorker = CreateThread(nullptr, 0, InsertListViewThread, this, 0, nullptr);
    return m_hWorker != nullptr;
}

DWORD WINAPI CServerListPane::InsertListViewThread(LPVOID param)
{
    auto* self = static_cast<CServerListPane*>(param);
    if (!self)
        return 0;
    HRESULT com = CoInitialize(nullptr);
    CToviTextLanguage::SetThreadLanguage(self->m_language);
    self->FillRows();
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

void CServerListPane::FillRows()
{
    HWND list = m_pList->GetSafeHwnd();
    if (m_bThreadStop || !list) {
        if (list)
            ::SendMessage(list, WM_SETREDRAW, TRUE, 0);
        return;
    }
    HWND tree = m_pTree ? m_pTree->GetSafeHwnd() : nullptr;
    HTREEITEM caret = tree ? reinterpret_cast<HTREEITEM>(::SendMessage(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) : nullptr;
    const _PROTO_FOLDER_INFO* current = caret ? m_pTree->GetRecord(caret) : nullptr;
    bool underRoot = current && Is(current->Attr178, "0");
    ::SendMessage(list, WM_SETREDRAW, FALSE, 0);
    for (const _PROTO_FOLDER_INFO& record : m_items) {
        if (m_bThreadStop)
            break;
        InsertRow(record, current, underRoot);
    }
    if (!m_bThreadStop)
        ApplySortState(underRoot && current && (Is(current->Attr27, "3") || Is(current->Attr27, "4")));
    else
        TraceLog(1, L"[ CServerRightView::InsertListViewThread ] m_bThreadStop --> RETURN \n");
    ::SendMessage(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

int CServerListPane::FolderIcon(const _PROTO_FOLDER_INFO& r, const _PROTO_FOLDER_INFO* current, bool underRoot)
{
    CVImageList& il = Images();
    const char* t = r.Attr27;
    const char* ct = current ? current->Attr27 : "";
    bool shared = Is(r.Attr29, "Y");
    if (Is(t, "1") || Is(t, "A"))
        return underRoot && Is(ct, "2") ? il.GetShareYellowClose() : (shared ? il.GetYellowShareClose() : il.GetYellowClose());
    if (Is(t, "3")) {
        if (!underRoot)
            return shared ? il.GetBlueShareClose() : il.GetBlueClose();
        if (Is(ct, "3"))
            return r.Attr231[6] == '1' ? il.GetMasterYellowClose() : (shared ? il.GetBlueShareClose() : il.GetGroupBlueClose());
        if (Is(ct, "4"))
            return il.GetDomainBlueClose();
        return 0;
    }
    if (Is(t, "5"))
        return underRoot ? il.GetGuestGreenClose() : il.GetGreenClose();
    if (Is(t, "6"))
        return il.GetYellowClose();
    if (Is(t, "D"))
        return Is(r.IDX, "2") ? il.GetTrashRedClose() : il.GetRedClose();
    return 0;
}

void CServerListPane::InsertRow(const _PROTO_FOLDER_INFO& source, const _PROTO_FOLDER_INFO* current, bool underRoot)
{
    HWND list = m_pList->GetSafeHwnd();
    auto* record = new _PROTO_FOLDER_INFO();
    CToviProto::memsetFolderInfo(record);
    CToviProto::CopyFolderInfo(record, &source, false);
    bool file = !Is(record->ItemType, "D");

    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = m_rowCount;
    item.pszText = record->Name;
    item.iImage = file ? Images().GetSysIcon(record->Name, false, false, false) : FolderIcon(*record, current, underRoot);
    item.lParam = reinterpret_cast<LPARAM>(record);
    if (Is(record->Attr27, "A")) {
        item.mask |= LVIF_STATE;
        item.stateMask = LVIS_OVERLAYMASK;
        item.state = INDEXTOOVERLAYMASK(CVImageList::kLockOverlay);
    }
    int row = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) {
        delete record;
        return;
    }
    if (m_bThreadStop)
        return;

    const char* context = file ? (current ? current->Attr27 : "") : record->Attr27;
    bool specialBin = Is(context, "D") && Is(record->IDX, "2");
    int kind = m_pList->m_nListKind;
    int c = 1;
    if (m_customColumns) {
        if (kind <= 2) {
            SetText(list, row, 1, record->Attr232);
            SetText(list, row, 2, record->Attr169);
            c = 3;
        } else {
            SetText(list, row, 1, record->Attr169);
            c = 2;
        }
    }
    if (Is(context, "6") || Is(context, "7") || Is(context, "8") || Is(context, "D")) {
        // Every value goes to its own column: a bin's special folder leaves the place empty.
        if (!specialBin)
            SetText(list, row, c, record->Attr197);
        ++c;
    }
    CString size = file ? FormatFileSize(_strtoi64(record->Attr192, nullptr, 10)) : CString();
    SetText(list, row, c++, size.GetString());

    CString typeName;
    if (Is(context, "9")) {
        typeName = record->Attr232;
    } else if (specialBin) {
        typeName = CToviString::GetString(14187);
    } else {
        SHFILEINFOW info = {};
        SHGetFileInfoW(record->Name, file ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
        typeName = CString(info.szTypeName, static_cast<int>(wcsnlen(info.szTypeName, 80)));
        wchar_t cache[80] = {};
        wcsncpy(cache, typeName.GetString(), 79);
        std::memcpy(record->Reserved160, cache, sizeof cache);
    }
    if (!m_customColumns || kind == 3)
        SetText(list, row, c++, typeName.GetString());
    if (Is(context, "9") && !m_customColumns) {
        CString extra = record->Attr183;
        if (record->Attr169[0]) {
            extra += L" (";
            extra += record->Attr169;
            extra += L")";
        }
        SetText(list, row, c++, extra.GetString());
    }
    if (!specialBin) {
        CString date = FormatListDate(record->Attr188, CToviString::GetString(14185), CToviString::GetString(14186));
        SetText(list, row, c, date.GetString());
    }
    ++c;
    if (Is(context, "9"))
        SetText(list, row, c, record->Attr13);
    ++m_rowCount;
}

void CServerListPane::ApplySortState(bool groupFolder)
{
    HWND list = m_pList->GetSafeHwnd();
    if (!list)
        return;
    PFNLVCOMPARE compare = groupFolder ? CompareGroupItems : CompareServerItems;
    int column = groupFolder ? 0 : m_sortColumn;
    ::SendMessage(list, LVM_SORTITEMS, ServerSortParam(column, m_sortDirection), reinterpret_cast<LPARAM>(compare));
}
