// The server file pane's filling worker, column sets and worker control.
#include "ServerListPane.h"
#include "CircularProgressThread.h"
#include "ServerCommandSupport.h"
#include "ServerItemCompare.h"
#include "ServerNameRules.h"
#include "PaneMessages.h"
#include "ServerTreeCtrl.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "TraceLog.h"
#include "ServerThumbnail.h"
#include "ThumbnailCache.h"
#include "VImageList.h"
#include "WinApp.h"
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
    if (m_thumbs) {
        if (m_pList && m_pList->GetSafeHwnd() && m_pList->m_bThumbnail)
            ::SendMessage(m_pList->GetSafeHwnd(), LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
        ImageList_Destroy(m_thumbs);
    }
}

void CServerListPane::Attach(CServerTreeCtrl* tree, CToviProto* proto)
{
    StopListThread();
    m_pTree = tree;
    m_pProto = proto;
}

namespace {

const wchar_t kSection[] = L"CorvaneIXO";

}

void CServerListPane::LoadSortState()
{
    m_sortColumn = m_sortDirection = 0;
    CWinApp* app = AfxGetApp();
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (!app || !app->GetProfileBinary(kSection, L"ServerSort", &data, &bytes) || !data)
        return;
    int32_t pair[2] = {};
    bool whole = bytes == sizeof pair;
    if (whole)
        std::memcpy(pair, data, sizeof pair);
    delete[] data;
    // Direction first, then the column; anything out of range leaves the default order.
    if (whole && (pair[0] == 0 || pair[0] == 1) && pair[1] >= 0 && pair[1] < 8) {
        m_sortDirection = pair[0];
        m_sortColumn = pair[1];
    }
}

void CServerListPane::SaveSortState() const
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    int32_t pair[2] = {m_sortDirection, m_sortColumn};
    app->WriteProfileBinary(kSection, L"ServerSort", reinterpret_cast<BYTE*>(pair), sizeof pair);
}

namespace {

// Which columns of a variant keep their width in which of the six slots.
std::vector<int> ColumnSlots(int variant, bool custom)
{
    if (variant == 3)
        return {0, 1};
    if (variant == 0)
        return {0, 1, 2, 3, 4};
    return custom ? std::vector<int>{0, 1, 2, 3, 4, 5} : std::vector<int>{0, 2, 3, 4};
}

}

void CServerListPane::LoadColumnSize(int variant)
{
    HWND list = m_pList->GetSafeHwnd();
    CWinApp* app = AfxGetApp();
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (!list || !app || !app->GetProfileBinary(kSection, L"ServerColumnSize", &data, &bytes) || !data)
        return;
    int32_t slots[6] = {};
    std::memcpy(slots, data, bytes < sizeof slots ? bytes : sizeof slots);
    delete[] data;
    static const int32_t plain[6] = {250, 80, 160, 144, 0, 0};
    static const int32_t custom0[6] = {250, 80, 110, 80, 144, 0};
    static const int32_t custom12[6] = {250, 80, 110, 200, 80, 144};
    static const int32_t custom3[6] = {250, 110, 80, 100, 144, 90};
    const int32_t* defaults = !m_customColumns ? plain : variant == 0 ? custom0 : variant == 3 ? custom3 : custom12;
    for (int i = 0; i < 6; ++i)
        if (slots[i] <= 0)
            slots[i] = defaults[i];
    if (!m_customColumns && (variant == 2 || variant == 3))
        return;
    std::vector<int> columns = m_customColumns && variant == 3 ? std::vector<int>{0, 1, 2, 3, 4, 5}
                                                               : ColumnSlots(variant, m_customColumns);
    for (size_t slot = 0; slot < columns.size(); ++slot)
        if (slots[slot] > 0)
            ::SendMessage(list, LVM_SETCOLUMNWIDTH, columns[slot], slots[slot]);
}

void CServerListPane::SaveColumnSize() const
{
    HWND list = m_pList->GetSafeHwnd();
    CWinApp* app = AfxGetApp();
    if (!list || !app || m_pList->m_bThumbnail)
        return;
    HWND header = reinterpret_cast<HWND>(::SendMessage(list, LVM_GETHEADER, 0, 0));
    int count = header ? static_cast<int>(::SendMessage(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    if (count == 0)
        return;
    int32_t slots[6] = {};
    std::vector<int> columns = ColumnSlots(m_pList->m_nListKind, m_customColumns);
    for (size_t slot = 0; slot < columns.size() && slot < 6; ++slot)
        if (columns[slot] < count)
            slots[slot] = static_cast<int32_t>(::SendMessage(list, LVM_GETCOLUMNWIDTH, columns[slot], 0));
    app->WriteProfileBinary(kSection, L"ServerColumnSize", reinterpret_cast<BYTE*>(slots), sizeof slots);
}

void CServerListPane::SetThumbnailSource(const CString& imageExtensions, int width, int height)
{
    m_frameImageExtensions = imageExtensions;
    m_frameImageExtensions.MakeLower();
    if (!imageExtensions.IsEmpty()) {
        m_imageExtensions = imageExtensions;
        m_imageExtensions.MakeLower();
    }
    if (width > 0 && height > 0) {
        m_thumbWidth = width;
        m_thumbHeight = height;
    }
}

void CServerListPane::SetThumbnailView(bool thumbnail, bool refill)
{
    HWND list = m_pList->GetSafeHwnd();
    if (!list || thumbnail == m_pList->m_bThumbnail)
        return;
    ClearList();
    if (thumbnail)
        SaveColumnSize();   // the report's widths, while it still has them
    HIMAGELIST old = m_thumbs;
    m_thumbs = nullptr;
    m_pList->m_bThumbnail = thumbnail;
    if (thumbnail) {
        m_thumbs = ImageList_Create(m_thumbWidth, m_thumbHeight, ILC_COLOR32 | ILC_MASK, 1, 1);
        ::SendMessage(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(m_thumbs));
        ::SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
        m_pList->ModifyStyle(LVS_TYPEMASK, LVS_ICON | LVS_AUTOARRANGE);
    } else {
        ::SendMessage(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(Images().GetNormalImageList()));
        ::SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(Images().GetSmallImageList()));
        m_pList->ModifyStyle(LVS_TYPEMASK | LVS_AUTOARRANGE, LVS_REPORT);
    }
    if (old)
        ImageList_Destroy(old);
    if (refill && m_pTree) {
        if (_PROTO_FOLDER_INFO* folder = m_pTree->GetRecord(m_pTree->GetSelectedItem())) {
            m_items = m_pTree->CachedChildren(folder);
            StartListThread();
        }
    }
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
    // One picture per row: the images go with the rows, so memory stays flat across folders.
    if (m_thumbs)
        ImageList_RemoveAll(m_thumbs);
    m_pList->SetRedraw(TRUE);
    m_rowCount = 0;
}

void CServerListPane::SetListColumn(const _PROTO_FOLDER_INFO& folder)
{
    HWND list = m_pList->GetSafeHwnd();
    if (!list)
        return;
    int kind = KindOf(folder.Attr27);
    SaveColumnSize();
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
    LoadColumnSize(kind);
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
    ShowSpinner(true);
    HWND tree = m_pTree ? m_pTree->GetSafeHwnd() : nullptr;
    HTREEITEM caret = tree ? reinterpret_cast<HTREEITEM>(::SendMessage(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) : nullptr;
    const _PROTO_FOLDER_INFO* current = caret ? m_pTree->GetRecord(caret) : nullptr;
    bool underRoot = current && Is(current->Attr178, "0");
    bool pictures = m_pList->m_bThumbnail;
    ThumbnailJob job;
    std::unique_ptr<CToviProto> own;
    if (pictures) {
        // Pictures come over a connection of the worker's own, never the session's.
        own = OpenOwnConnection(list);
        if (!own) {
            ShowSpinner(false);
            ::SendMessage(list, WM_SETREDRAW, TRUE, 0);
            return;
        }
        job.width = m_thumbWidth;
        job.height = m_thumbHeight;
        job.imageExtensions = m_imageExtensions;
        job.cacheDir = ThumbnailCacheDir();
        job.proto = own.get();
        job.progress = list;
        job.stop = &m_bThreadStop;
    } else {
        ::SendMessage(list, WM_SETREDRAW, FALSE, 0);
    }
    // Pictures take a request each: hand them over in small batches so rows show as they come.
    const size_t kBatch = pictures ? 4 : 64;
    std::vector<PreparedRow> batch;
    for (const _PROTO_FOLDER_INFO& record : m_items) {
        if (m_bThreadStop)
            break;
        batch.push_back(PrepareRow(record, current, underRoot));
        if (pictures)
            batch.back().thumb = MakeThumbnail(*batch.back().record, current, underRoot, job);
        if (batch.size() == kBatch && !InsertBatch(batch))
            break;
    }
    if (!m_bThreadStop)
        InsertBatch(batch);
    DropRows(batch);
    if (own)
        own->CloseSocket();
    // The rows hold their own copies now; the tree keeps the folder's.
    std::vector<_PROTO_FOLDER_INFO>().swap(m_items);
    if (!m_bThreadStop)
        ApplySortState(underRoot && current && (Is(current->Attr27, "3") || Is(current->Attr27, "4")));
    else
        TraceLog(1, L"[ CServerRightView::InsertListViewThread ] m_bThreadStop --> RETURN \n");
    ShowSpinner(false);
    ::SendMessage(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void CServerListPane::ShowSpinner(bool show)
{
    // Made with the list, before any worker, and ended only after the list's last worker.
    if (CCircularProgressThread* spinner = m_pList->Spinner())
        spinner->SetShow(show);
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
    auto* record = new _PROTO_FOLDER_INFO();   // value-initialised: cleared before the copy
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
    DropRows(batch);
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
        if (m_pList->m_bThumbnail && m_thumbs) {
            // Row i shows image i: every row adds exactly one, an empty box when it has none.
            item.iImage = row.thumb ? ImageList_Add(m_thumbs, row.thumb, nullptr) : -1;
            if (item.iImage < 0) {
                HBITMAP blank = BlankThumbnail();
                item.iImage = ImageList_Add(m_thumbs, blank, nullptr);
                DeleteObject(blank);
            }
        }
        if (row.thumb) {
            DeleteObject(row.thumb);
            row.thumb = nullptr;
        }
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

void CServerListPane::DropRows(std::vector<PreparedRow>& batch)
{
    for (PreparedRow& row : batch) {
        delete row.record;
        if (row.thumb)
            DeleteObject(row.thumb);
    }
    batch.clear();
}

HBITMAP CServerListPane::BlankThumbnail() const
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_thumbWidth;
    info.bmiHeader.biHeight = -m_thumbHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits)
        std::memset(bits, 0xF7, static_cast<size_t>(m_thumbWidth) * m_thumbHeight * 4);
    return bitmap;
}

std::unique_ptr<CToviProto> CServerListPane::OpenOwnConnection(HWND owner) const
{
    return m_pProto ? servercmd::OpenOwnSession(*m_pProto, owner, PROT_CMD('I', '2')) : nullptr;
}

void CServerListPane::Resort()
{
    const _PROTO_FOLDER_INFO* current = m_pTree ? m_pTree->GetRecord(m_pTree->GetSelectedItem()) : nullptr;
    bool group = current && Is(current->Attr178, "0") && (Is(current->Attr27, "3") || Is(current->Attr27, "4"));
    ApplySortState(group);
}

int CServerListPane::InsertNewFolderRow(const _PROTO_FOLDER_INFO& target)
{
    HWND list = m_pList->GetSafeHwnd();
    if (!list)
        return -1;
    CString base = CToviString::GetString(14004), name = base;
    for (int n = 2;; ++n) {
        LVFINDINFOW find = {};
        find.flags = LVFI_STRING;
        find.psz = name.GetString();
        if (::SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)) < 0)
            break;
        name.Format(L"%s (%d)", base.GetString(), n);
    }
    int count = m_pList->GetItemCount(), at = 0;
    while (at < count) {
        auto* r = reinterpret_cast<const _PROTO_FOLDER_INFO*>(m_pList->GetItemData(at));
        if (!r || !Is(r->ItemType, "D"))
            break;
        ++at;
    }
    auto* record = new _PROTO_FOLDER_INFO();
    CToviProto::memsetFolderInfo(record);
    std::strcpy(record->ItemType, "D");
    wcsncpy(record->Name, name.GetString(), sizeof record->Name / sizeof record->Name[0] - 1);
    CVImageList& il = Images();
    const char* t = target.Attr27;
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = at;
    item.pszText = record->Name;
    item.lParam = reinterpret_cast<LPARAM>(record);
    item.iImage = (Is(t, "1") || Is(t, "2") || Is(t, "A")) ? il.GetYellowClose()
                  : (Is(t, "3") || Is(t, "4"))            ? il.GetBlueClose()
                  : Is(t, "5")                            ? il.GetGreenClose()
                                                          : 0;
    if (Is(t, "A")) {
        item.mask |= LVIF_STATE;
        item.stateMask = LVIS_OVERLAYMASK;
        item.state = INDEXTOOVERLAYMASK(CVImageList::kLockOverlay);
    }
    int row = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) {
        delete record;
        return -1;
    }
    ++m_rowCount;
    return row;
}
