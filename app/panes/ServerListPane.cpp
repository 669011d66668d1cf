// The server file pane's filling worker, column sets and worker control.
#include "ServerListPane.h"
#include "ServerItemCompare.h"
#include "ServerNameRules.h"
#include "PaneMessages.h"
#include "ServerTreeCtrl.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "TraceLog.h"
#include "VImageList.h"
#include <objbase.h>
#include <shellapi.h>
#include <cstdlib>
#include <cstring>
#include <cwctype>

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
    constexpr size_t kBatch = 64;
    std::vector<PreparedRow> batch;
    for (const _PROTO_FOLDER_INFO& record : m_items) {
        if (m_bThreadStop)
            break;
        batch.push_back(PrepareRow(record, current, underRoot));
        if (batch.size() == kBatch && !InsertBatch(batch))
            break;
    }
    if (!m_bThreadStop)
        InsertBatch(batch);
    for (PreparedRow& row : batch)
        delete row.record;
    // The rows hold their own copies now; the tree keeps the folder's.
    std::vector<_PROTO_FOLDER_INFO>().swap(m_items);
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

CServerListPane::PreparedRow CServerListPane::PrepareRow(const _PROTO_FOLDER_INFO& source,
                                                        const _PROTO_FOLDER_INFO* current, bool underRoot)
{
    PreparedRow row;
    auto* record = new _PROTO_FOLDER_INFO();
    CToviProto::memsetFolderInfo(record);
    CToviProto::CopyFolderInfo(record, &source, false);
    row.record = record;
    bool file = !Is(record->ItemType, "D");
    const char* context = file ? (current ? current->Attr27 : "") : record->Attr27;
    bool specialBin = Is(context, "D") && Is(record->IDX, "2");

    // Files of one extension share the shell's icon and type name.
    CString typeName;
    if (file) {
        const wchar_t* dot = wcsrchr(record->Name, L'.');
        std::wstring key = dot ? dot : L"";
        for (wchar_t& c : key)
            c = static_cast<wchar_t>(towlower(c));
        auto known = m_fileKinds.find(key);
        if (known == m_fileKinds.end()) {
            SHFILEINFOW info = {};
            SHGetFileInfoW(record->Name, FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                           SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
            CString name(info.szTypeName, static_cast<int>(wcsnlen(info.szTypeName, 80)));
            known = m_fileKinds.emplace(key, std::make_pair(Images().GetSysIcon(record->Name, false, false, false), name))
                        .first;
        }
        row.image = known->second.first;
        typeName = known->second.second;
    } else {
        row.image = FolderIcon(*record, current, underRoot);
        static const CString folderType = [] {
            SHFILEINFOW info = {};
            SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
            return CString(info.szTypeName, static_cast<int>(wcsnlen(info.szTypeName, 80)));
        }();
        typeName = folderType;
    }
    row.locked = Is(record->Attr27, "A");

    int kind = m_pList->m_nListKind;
    int c = 1;
    if (m_customColumns) {
        if (kind <= 2) {
            row.texts.emplace_back(1, record->Attr232);
            row.texts.emplace_back(2, record->Attr169);
            c = 3;
        } else {
            row.texts.emplace_back(1, record->Attr169);
            c = 2;
        }
    }
    if (Is(context, "6") || Is(context, "7") || Is(context, "8") || Is(context, "D")) {
        // Every value goes to its own column: a bin's special folder leaves the place empty.
        if (!specialBin)
            row.texts.emplace_back(c, record->Attr197);
        ++c;
    }
    if (file)
        row.texts.emplace_back(c, FormatFileSize(_strtoi64(record->Attr192, nullptr, 10)));
    ++c;

    if (Is(context, "9")) {
        typeName = record->Attr232;
    } else if (specialBin) {
        typeName = CToviString::GetString(14187);
    } else {
        wchar_t cache[80] = {};
        wcsncpy(cache, typeName.GetString(), 79);
        std::memcpy(record->Reserved160, cache, sizeof cache);
    }
    if (!m_customColumns || kind == 3)
        row.texts.emplace_back(c++, typeName);
    if (Is(context, "9") && !m_customColumns) {
        CString extra = record->Attr183;
        if (record->Attr169[0]) {
            extra += L" (";
            extra += record->Attr169;
            extra += L")";
        }
        row.texts.emplace_back(c++, extra);
    }
    if (!specialBin)
        row.texts.emplace_back(c, FormatListDate(record->Attr188, CToviString::GetString(14185),
                                                 CToviString::GetString(14186)));
    ++c;
    if (Is(context, "9"))
        row.texts.emplace_back(c, record->Attr13);
    return row;
}

bool CServerListPane::InsertBatch(std::vector<PreparedRow>& batch)
{
    if (batch.empty())
        return true;
    ::SendMessageW(m_pList->GetSafeHwnd(), WM_SERVER_LIST_ROWS, 0, reinterpret_cast<LPARAM>(&batch));
    // Rows the list did not take (a stop came first) are still ours.
    for (PreparedRow& row : batch)
        delete row.record;
    batch.clear();
    return !m_bThreadStop;
}

void CServerListPane::InsertPrepared(std::vector<PreparedRow>& batch)
{
    HWND list = m_pList->GetSafeHwnd();
    for (PreparedRow& row : batch) {
        if (m_bThreadStop)
            return;
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = m_rowCount;
        item.pszText = row.record->Name;
        item.iImage = row.image;
        item.lParam = reinterpret_cast<LPARAM>(row.record);
        if (row.locked) {
            item.mask |= LVIF_STATE;
            item.stateMask = LVIS_OVERLAYMASK;
            item.state = INDEXTOOVERLAYMASK(CVImageList::kLockOverlay);
        }
        int at = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (at < 0)
            continue;
        row.record = nullptr;   // the row owns it now
        for (auto& text : row.texts)
            SetText(list, at, text.first, text.second.GetString());
        ++m_rowCount;
    }
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
