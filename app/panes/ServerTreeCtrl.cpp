// The server folder tree: top-level refresh, folder listing with the change check, children
// rebuild, selection and expansion.
#include "ServerTreeCtrl.h"
#include "TreeSelectionMark.h"
#include "ServerMenuRules.h"
#include "FileUtils.h"
#include "PaneMessages.h"
#include "TraceLog.h"
#include <shlwapi.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

const wchar_t kCaption[] = L"CorvaneIXO";
constexpr int kForcedClose = 1213;
constexpr int kNoSuchFolderQuiet = 1301;

bool Is(const char* text, const char* value) { return std::strcmp(text, value) == 0; }

// The record's fixed part (all but its subtree) with every run of zero bytes as a zero byte
// followed by the run's length, seven bits a byte; other bytes stand for themselves.
size_t FixedPart(const _PROTO_FOLDER_INFO& r)
{
    return static_cast<size_t>(reinterpret_cast<const char*>(&r.Children) - reinterpret_cast<const char*>(&r));
}

// How many zero bytes p starts with, eight at a time through the long empty texts.
size_t ZeroRun(const unsigned char* p, size_t n)
{
    size_t i = 0;
    for (uint64_t word = 0; i + sizeof word <= n; i += sizeof word) {
        std::memcpy(&word, p + i, sizeof word);
        if (word != 0)
            break;
    }
    while (i < n && p[i] == 0)
        ++i;
    return i;
}

std::string PackRecord(const _PROTO_FOLDER_INFO& r)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&r);
    const size_t size = FixedPart(r);
    std::string packed;
    for (size_t i = 0; i < size;) {
        const void* zero = std::memchr(bytes + i, 0, size - i);
        const size_t end = zero ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - bytes) : size;
        packed.append(reinterpret_cast<const char*>(bytes + i), end - i);
        i = end;
        if (i == size)
            break;
        size_t run = ZeroRun(bytes + i, size - i);
        i += run;
        packed += '\0';
        for (; run >= 0x80; run >>= 7)
            packed += static_cast<char>(0x80 | (run & 0x7F));
        packed += static_cast<char>(run);
    }
    packed.shrink_to_fit();
    return packed;
}

void UnpackRecord(const std::string& packed, _PROTO_FOLDER_INFO& r)
{
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&r);
    const size_t size = FixedPart(r);
    size_t at = 0;
    for (size_t i = 0; i < packed.size() && at < size;) {
        const unsigned char c = static_cast<unsigned char>(packed[i++]);
        if (c != 0) {
            bytes[at++] = c;
            continue;
        }
        size_t run = 0;
        for (int shift = 0; i < packed.size(); shift += 7) {
            const unsigned char part = static_cast<unsigned char>(packed[i++]);
            run |= static_cast<size_t>(part & 0x7F) << shift;
            if (!(part & 0x80))
                break;
        }
        run = std::min(run, size - at);
        std::memset(bytes + at, 0, run);
        at += run;
    }
    if (at < size)
        std::memset(bytes + at, 0, size - at);
}

int KeyOf(const char* idx)
{
    return std::atoi(idx[0] == 'r' ? idx + 1 : idx);
}

char Flag(const char* flags, size_t position, size_t width)
{
    return position < strnlen(flags, width) ? flags[position] : '0';
}

enum Permission { VIEW, DOWNLOAD, COPY, PREVIEW, UPLOAD, NEW_DIR, NEW_FILE, DELETE_, DEL_COMP, OVERWRIT, RENAME,
                  MOVE_CUT, FILELINK, SHARE, SEARCH };

bool Allowed(const _PROTO_FOLDER_INFO& r, int p) { return Flag(r.Attr189, p, sizeof r.Attr189) == '1'; }

// Restores the arrow cursor and leaves the refresh lock on every way out.
class RefreshScope {
public:
    explicit RefreshScope(CRITICAL_SECTION& lock, int& depth) : m_lock(lock), m_depth(depth)
    {
        EnterCriticalSection(&m_lock);
        ++m_depth;
        m_cursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    }
    ~RefreshScope()
    {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        --m_depth;
        LeaveCriticalSection(&m_lock);
    }

private:
    CRITICAL_SECTION& m_lock;
    int& m_depth;
    HCURSOR m_cursor;
};

}

BEGIN_MESSAGE_MAP(CServerTreeCtrl, CTreeCtrl)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDINGW, OnItemExpanding)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDEDW, OnItemExpanded)
    ON_NOTIFY_REFLECT(TVN_SELCHANGINGW, OnSelChanging)
    ON_NOTIFY_REFLECT(TVN_SELCHANGEDW, OnSelChanged)
    ON_NOTIFY_REFLECT(NM_KILLFOCUS, OnKillFocusNotify)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(NM_RCLICK, OnRClick)
    ON_NOTIFY_REFLECT(NM_CLICK, OnNMClick)
    ON_NOTIFY_REFLECT(TVN_BEGINDRAGW, OnBeginDrag)
    ON_NOTIFY_REFLECT(TVN_KEYDOWN, OnTreeKeyDown)
    ON_NOTIFY_REFLECT(TVN_ENDLABELEDITW, OnEndLabelEdit)
    ON_MESSAGE(WM_EDIT_LABEL, OnEditLabel)
    ON_WM_SETFOCUS()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SERVER_TREE_DEFERRED, OnDeferredRefresh)
END_MESSAGE_MAP()

void CServerTreeCtrl::OnCustomDraw(NMHDR* nm, LRESULT* result)
{
    treelook::MarkUnfocusedSelection(*this, nm, result);
}

CServerTreeCtrl::CServerTreeCtrl()
{
    InitializeCriticalSection(&m_lock);
}

CServerTreeCtrl::~CServerTreeCtrl()
{
    DeleteCriticalSection(&m_lock);
}

void CServerTreeCtrl::SetSession(CToviProto* proto, IServerFrameHost* frame, IServerListSide* list)
{
    m_pProto = proto;
    m_pFrame = frame;
    m_pList = list;
    m_bForcedClose = false;   // a new session starts clean
    if (!m_images && GetSafeHwnd()) {
        m_images.reset(new CVImageList());
        ::SendMessage(m_hWnd, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(m_images->GetSmallImageList()));
    }
}

_PROTO_FOLDER_INFO* CServerTreeCtrl::GetRecord(HTREEITEM item) const
{
    if (!item || item == TVI_ROOT)
        return nullptr;
    return reinterpret_cast<_PROTO_FOLDER_INFO*>(GetItemData(item));
}

CString CServerTreeCtrl::GetItemPath(HTREEITEM item) const
{
    CString path;
    for (; item; item = GetParentItem(item)) {
        _PROTO_FOLDER_INFO* r = GetRecord(item);
        CString name = r ? CString(r->Name) : CString();
        if (!path.IsEmpty())
            name += L"/";
        path.Insert(0, name.GetString());
    }
    return path;
}

void CServerTreeCtrl::ReportFailure(const wchar_t* what, int code, bool quiet1301)
{
    TraceLog(2048, L"[ CServerTreeCtrl::%s ] Error! --> %d\n", what, code);
    if (code == kForcedClose) {
        m_bForcedClose = true;
        return;
    }
    if (quiet1301 && code == kNoSuchFolderQuiet)
        return;
    if (m_pProto && m_pProto->ResultInfo.wszMessage[0])
        CFileUtils::ToviMessageBox(this, m_pProto->ResultInfo.wszMessage, kCaption, MB_OK | MB_ICONERROR);
}

int CServerTreeCtrl::RequestPages(char* idx, char* didx, char* type)
{
    bool first = true;
    for (int page = 0; page < m_nMaxPages; ++page) {
        int result = m_pProto->GetFolderInfo(idx, didx, type, false, first);
        if (result != 0)
            return result;
        first = false;
        if (m_pProto->ContinueFlag[0] == 'N')
            return 0;
    }
    // The server kept asking for more: end the listing like a failed request.
    TraceLog(2048, L"[ CServerTreeCtrl ] listing of %S stopped after %d pages\n", idx, m_nMaxPages);
    m_pProto->ResultInfo.nResultCode = -1;
    m_pProto->ResultInfo.wszMessage[0] = L'\0';
    return -1;
}

bool CServerTreeCtrl::ListContent(const _PROTO_FOLDER_INFO& folder, std::vector<_PROTO_FOLDER_INFO>& entries)
{
    entries.clear();
    if (!m_pProto)
        return false;
    RefreshScope scope(m_lock, m_nRefreshDepth);
    char idx[sizeof folder.IDX] = {}, didx[sizeof folder.DIDX] = {}, type[] = "A";
    std::memcpy(idx, folder.IDX, strnlen(folder.IDX, sizeof idx - 1));
    std::memcpy(didx, folder.DIDX, strnlen(folder.DIDX, sizeof didx - 1));
    const int result = RequestPages(idx, didx, type);
    if (result != 0) {
        ReportFailure(L"ListContent", m_pProto->ResultInfo.nResultCode ? m_pProto->ResultInfo.nResultCode : result, false);
        if (m_bForcedClose && m_pFrame)
            m_pFrame->PostForcedLogout();
        return false;
    }
    entries = m_pProto->FolderInfo;
    // The folder's own record leads a listing of a folder (it carries the cache stamp).
    if (!entries.empty() && entries.front().AccessTime[0])
        entries.erase(entries.begin());
    m_pProto->ReleaseFolderInfo();
    return true;
}

bool CServerTreeCtrl::DrawTreeRoot(HTREEITEM item)
{
    if (!m_pProto)
        return false;
    if (m_nRefreshDepth > 0) {
        TraceLog(2, L"[ CServerTreeCtrl::DrawTreeRoot ] nested refresh skipped\n");
        return true;
    }
    RefreshScope scope(m_lock, m_nRefreshDepth);
    HTREEITEM watched = FindTopLevelAncestor(item);
    if (Is(m_pProto->OptionInfo.UseReceivedCnt, "Y")) {
        int count = m_pProto->GetFileCount(m_pProto->LoginInfo.SessionId);
        if (count != 0)
            TraceLog(2048, L"[ CServerTreeCtrl::DrawTreeRoot ] GetFileCount Error! --> %d\n", count);
    }
    char zero[] = "0", folders[] = "D";
    int result = RequestPages(zero, zero, folders);
    if (result != 0) {
        ReportFailure(L"DrawTreeRoot", m_pProto->ResultInfo.nResultCode ? m_pProto->ResultInfo.nResultCode : result,
                      false);
        return false;
    }
    auto& map = m_pProto->FolderInfoMap;
    for (HTREEITEM top = GetRootItem(); top;) {
        HTREEITEM next = GetNextSiblingItem(top);
        _PROTO_FOLDER_INFO* r = GetRecord(top);
        if (!r)
            return true;
        auto found = map.find(KeyOf(r->IDX));
        if (found == map.end()) {
            if (top == watched)
                m_bTopRemoved = true;
            DeleteWithRecords(top);
        } else {
            PutFolderItem(found->second, top, true);
            map.erase(found);
        }
        top = next;
    }
    for (auto& entry : map)
        PutFolderItem(entry.second, TVI_ROOT, false);
    m_pProto->ReleaseFolderInfo();
    SortChildren(TVI_ROOT, CompareBySortKey);
    return !m_bTopRemoved;
}

std::vector<_PROTO_FOLDER_INFO> CServerTreeCtrl::CachedChildren(const _PROTO_FOLDER_INFO* folder) const
{
    std::vector<_PROTO_FOLDER_INFO> children;
    const auto found = folder ? m_cache.find(folder) : m_cache.end();
    if (found == m_cache.end())
        return children;
    children.resize(found->second.size());
    for (size_t i = 0; i < children.size(); ++i)
        UnpackRecord(found->second[i], children[i]);
    return children;
}

bool CServerTreeCtrl::DrawSubTreeNList(HTREEITEM item, int mode, bool useCache)
{
    if (!m_pProto)
        return false;
    _PROTO_FOLDER_INFO* record = GetRecord(item);
    if (item && item != TVI_ROOT && !record)
        return false;
    if (m_nRefreshDepth > 0) {
        // A critical section lets its own thread in again: without this the nested listing
        // would run in the middle of the one that pumped its message.
        m_deferred.pending = true;
        m_deferred.item = item;
        m_deferred.mode = mode;
        m_deferred.useCache = useCache;
        PostMessage(WM_SERVER_TREE_DEFERRED, 0, 0);
        TraceLog(2, L"[ CServerTreeCtrl::DrawSubTreeNList ] nested refresh deferred\n");
        return true;
    }
    RefreshScope scope(m_lock, m_nRefreshDepth);
    bool listToo = mode == TREE_REFRESH_TREE_AND_LIST || mode == TREE_REFRESH_LIST_ONLY;
    if (listToo && m_pList) {
        m_pList->StopListThread();
        m_pList->ClearList();
        if (record) {
            m_pList->SetListColumn(*record);
            if (m_pList->IsThumbnailView() && !Allowed(*record, PREVIEW))
                m_pList->SetReportView();
        }
    }
    m_pProto->CacheChanged[0] = '\0';
    const auto cached = record ? m_cache.find(record) : m_cache.end();
    if (useCache && cached != m_cache.end() && !cached->second.empty() && record->AccessTime[0]) {
        int result = m_pProto->GetCacheChanged(record->IDX, record->DIDX, record->AccessTime, record->DirCnt,
                                               record->FileCnt, record->LinkCnt, record->PrivacyCnt);
        if (result != 0) {
            TraceLog(2048, L"GetCacheChanged Error! --> %d\n", result);
            ReportFailure(L"GetCacheChanged", m_pProto->ResultInfo.nResultCode ? m_pProto->ResultInfo.nResultCode : result,
                          false);
            return false;
        }
    }
    char changed = m_pProto->CacheChanged[0];
    char zero[] = "0";
    char type[2] = {changed == 'I' ? 'F' : (mode == TREE_REFRESH_TREE_ONLY ? 'D' : 'A'), '\0'};
    if (changed != 'N') {
        int result = record ? RequestPages(record->IDX, record->DIDX, type) : RequestPages(zero, zero, type);
        if (result != 0) {
            ReportFailure(L"DrawSubTreeNList",
                          m_pProto->ResultInfo.nResultCode ? m_pProto->ResultInfo.nResultCode : result, true);
            return false;
        }
        std::vector<_PROTO_FOLDER_INFO>& reply = m_pProto->FolderInfo;
        // A folders-only listing is no picture of the folder's content: kept as the cache, a
        // later "no change" answer would show the list without its files.
        bool wholeContent = type[0] != 'D';
        if (record && !reply.empty() && reply.front().AccessTime[0]) {
            const _PROTO_FOLDER_INFO& self = reply.front();
            if (wholeContent) {
                std::memcpy(record->AccessTime, self.AccessTime, sizeof record->AccessTime);
            auto copyCounter = [](char(&to)[10], const char(&from)[10]) {
                if (from[0]) {
                    std::memset(to, 0, sizeof to);
                    std::memcpy(to, from, strnlen(from, sizeof to - 1));
                }
            };
            copyCounter(record->DirCnt, self.DirCnt);
            copyCounter(record->FileCnt, self.FileCnt);
            copyCounter(record->LinkCnt, self.LinkCnt);
            copyCounter(record->PrivacyCnt, self.PrivacyCnt);
            }
            reply.erase(reply.begin());
        }
        if (record && wholeContent) {
            std::vector<std::string>& packed = m_cache[record];
            if (changed != 'I')
                packed.clear();
            packed.reserve(packed.size() + reply.size());
            for (const _PROTO_FOLDER_INFO& child : reply)
                packed.push_back(PackRecord(child));
        }
    }
    if (listToo && m_pList) {
        // A whole listing just received is the folder's content as it stands: the list takes
        // the reply itself rather than an unpacked copy of what the tree kept of it.
        const bool fresh = changed != 'N' && changed != 'I';
        if (record && !fresh)
            m_pList->SetListData(CachedChildren(record));
        else if (mode == TREE_REFRESH_TREE_AND_LIST)   // the reply is released below anyway
            m_pList->SetListData(std::move(m_pProto->FolderInfo));
        else
            m_pList->SetListData(m_pProto->FolderInfo);
        m_pList->StartListThread();
    }
    if (mode == TREE_REFRESH_TREE_AND_LIST || mode == TREE_REFRESH_TREE_ONLY) {
        if (record)
            SetMenuButtonState(record);
        if (changed == '\0' || changed == 'Y')
            RebuildChildren(item ? item : TVI_ROOT);
        m_pProto->ReleaseFolderInfo();
    }
    return true;
}

LRESULT CServerTreeCtrl::OnDeferredRefresh(WPARAM, LPARAM)
{
    if (!m_deferred.pending)
        return 0;
    if (m_nRefreshDepth > 0) {
        PostMessage(WM_SERVER_TREE_DEFERRED, 0, 0);
        return 0;
    }
    Deferred d = m_deferred;
    m_deferred = Deferred();
    // The item may have gone meanwhile; only a live item is listed.
    if (d.item && d.item != TVI_ROOT) {
        bool alive = false;
        TVITEMW probe = {};
        probe.mask = TVIF_HANDLE;
        probe.hItem = d.item;
        alive = ::SendMessage(m_hWnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&probe)) != 0;
        if (!alive)
            return 0;
    }
    DrawSubTreeNList(d.item, d.mode, d.useCache);
    return 0;
}

void CServerTreeCtrl::RebuildChildren(HTREEITEM parent)
{
    SetRedraw(FALSE);
    auto& map = m_pProto->FolderInfoMap;
    bool hadEntries = !map.empty();
    for (HTREEITEM child = GetChildItem(parent); child;) {
        HTREEITEM next = GetNextSiblingItem(child);
        _PROTO_FOLDER_INFO* r = GetRecord(child);
        auto found = r ? map.find(KeyOf(r->IDX)) : map.end();
        if (found == map.end()) {
            m_bNotDeleting = false;
            DeleteWithRecords(child);
            m_bNotDeleting = true;
        } else {
            PutFolderItem(found->second, child, true);
            map.erase(found);
        }
        child = next;
    }
    for (auto& entry : map)
        PutFolderItem(entry.second, parent, false);
    if (parent != TVI_ROOT) {
        TVITEMW tv = {};
        tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
        tv.hItem = parent;
        tv.cChildren = hadEntries ? 1 : 0;
        ::SendMessage(m_hWnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    }
    _PROTO_FOLDER_INFO* pr = GetRecord(parent);
    bool byKey = parent == TVI_ROOT ||
                 (pr && Is(pr->Attr178, "0") && (Is(pr->Attr27, "3") || Is(pr->Attr27, "4")));
    SortChildren(parent, byKey ? CompareBySortKey : CompareByName);
    SetRedraw(TRUE);
}

void CServerTreeCtrl::ImagesFor(const _PROTO_FOLDER_INFO& r, HTREEITEM parent, int& image, int& selected) const
{
    image = selected = 0;
    if (!m_images)
        return;
    CVImageList& il = *m_images;
    bool top = Is(r.Attr178, "0");
    const _PROTO_FOLDER_INFO* p = parent == TVI_ROOT ? nullptr : GetRecord(parent);
    bool parentTop = p && Is(p->Attr178, "0");
    bool shared = Is(r.Attr29, "Y");
    const char* t = r.Attr27;
    int closed = -1;
    if (Is(t, "1") || Is(t, "A")) {
        if (top)
            closed = il.GetYellowClose();
        else if (parentTop && Is(p->Attr27, "2"))
            closed = il.GetShareYellowClose();
        else
            closed = shared ? il.GetYellowShareClose() : il.GetYellowClose();
    } else if (Is(t, "2")) {
        if (top) closed = il.GetShareYellowClose();
    } else if (Is(t, "3")) {
        if (top)
            closed = il.GetGroupBlueClose();
        else if (parentTop && Is(p->Attr27, "3"))
            closed = Flag(r.Attr231, 6, sizeof r.Attr231) == '1' ? il.GetMasterYellowClose()
                                                                 : (shared ? il.GetBlueShareClose() : il.GetGroupBlueClose());
        else if (parentTop && Is(p->Attr27, "4"))
            closed = il.GetDomainBlueClose();
        else if (!parentTop)
            closed = shared ? il.GetBlueShareClose() : il.GetBlueClose();
    } else if (Is(t, "4")) {
        if (top) closed = il.GetDomainBlueClose();
    } else if (Is(t, "5")) {
        closed = (top || parentTop) ? il.GetGuestGreenClose() : il.GetGreenClose();
    } else if (Is(t, "6")) {
        closed = top ? il.GetTrashYellowClose() : il.GetYellowClose();
    } else if (Is(t, "7")) {
        if (top) closed = il.GetPhotoYellowClose();
    } else if (Is(t, "8")) {
        if (top) closed = il.GetIndividualYellowClose();
    } else if (Is(t, "9")) {
        if (top) closed = il.GetFileBoxClose();
    } else if (Is(t, "B")) {
        closed = top ? il.GetBackupClose() : il.GetYellowClose();
    } else if (Is(t, "D")) {
        if (!top) closed = Is(r.IDX, "2") ? il.GetTrashRedClose() : il.GetRedClose();
    }
    if (closed >= 0) {
        image = closed;
        selected = closed + 1;   // each reserved pair is closed, then open
    }
}

HTREEITEM CServerTreeCtrl::PutFolderItem(const _PROTO_FOLDER_INFO& record, HTREEITEM itemOrParent, bool update)
{
    if (!GetParent())
        return nullptr;
    HTREEITEM parent = update ? GetParentItem(itemOrParent) : itemOrParent;
    if (!parent)
        parent = TVI_ROOT;
    _PROTO_FOLDER_INFO* data = update ? GetRecord(itemOrParent) : nullptr;
    if (!data) {
        data = new _PROTO_FOLDER_INFO();
        CToviProto::memsetFolderInfo(data);
    }
    CToviProto::CopyFolderInfo(data, &record, true);
    std::memcpy(data->AccessTime, record.AccessTime, sizeof data->AccessTime);
    std::memcpy(data->DirCnt, record.DirCnt, sizeof data->DirCnt);
    std::memcpy(data->FileCnt, record.FileCnt, sizeof data->FileCnt);
    std::memcpy(data->LinkCnt, record.LinkCnt, sizeof data->LinkCnt);
    std::memcpy(data->PrivacyCnt, record.PrivacyCnt, sizeof data->PrivacyCnt);
    if (update && Is(data->Attr178, "0") && Is(data->Attr27, "9")) {
        int count = std::atoi(m_pProto ? m_pProto->FileCountInfo : "0");
        if (count != 0) {
            CString named;
            named.Format(L"%s (%d)", record.Name, count);
            wcsncpy(data->Name, named.GetString(), 1023);
            data->Name[1023] = L'\0';
        }
    }
    int image, selected;
    ImagesFor(*data, parent, image, selected);
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM | TVIF_STATE;
    tv.pszText = data->Name;
    tv.iImage = image;
    tv.iSelectedImage = selected;
    tv.cChildren = Is(data->Attr28, "Y") ? 1 : 0;
    tv.lParam = reinterpret_cast<LPARAM>(data);
    tv.stateMask = TVIS_OVERLAYMASK;
    tv.state = (Is(data->Attr27, "A") && m_images) ? INDEXTOOVERLAYMASK(CVImageList::kLockOverlay) : 0;
    if (update) {
        tv.hItem = itemOrParent;
        ::SendMessage(m_hWnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        return itemOrParent;
    }
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item = tv;
    HTREEITEM added = InsertItem(&insert);
    if (!added)
        delete data;
    return added;
}

void CServerTreeCtrl::FreeRecords(HTREEITEM item)
{
    for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child))
        FreeRecords(child);
    if (_PROTO_FOLDER_INFO* r = GetRecord(item)) {
        TVITEMW tv = {};
        tv.mask = TVIF_PARAM | TVIF_HANDLE;
        tv.hItem = item;
        tv.lParam = 0;
        ::SendMessage(m_hWnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        m_cache.erase(r);
        delete r;
    }
}

void CServerTreeCtrl::DeleteWithRecords(HTREEITEM item)
{
    FreeRecords(item);
    bool was = m_bNotDeleting;
    m_bNotDeleting = false;
    DeleteItem(item);
    m_bNotDeleting = was;
}

void CServerTreeCtrl::ClearTree()
{
    if (!GetSafeHwnd())
        return;
    m_bNotDeleting = false;
    for (HTREEITEM top = GetRootItem(); top; top = GetNextSiblingItem(top))
        FreeRecords(top);
    DeleteAllItems();
    m_bNotDeleting = true;
}

void CServerTreeCtrl::SortChildren(HTREEITEM parent, PFNTVCOMPARE compare)
{
    TVSORTCB sort = {};
    sort.hParent = parent;
    sort.lpfnCompare = compare;
    SortChildrenCB(&sort);
}

namespace {

int CompareFolders(LPARAM a, LPARAM b, bool byKey)
{
    auto* x = reinterpret_cast<const _PROTO_FOLDER_INFO*>(a);
    auto* y = reinterpret_cast<const _PROTO_FOLDER_INFO*>(b);
    if (!x || !y)
        return -1;
    bool fx = Is(x->ItemType, "D"), fy = Is(y->ItemType, "D");
    if (fx != fy)
        return fx ? -1 : 1;
    return byKey ? StrCmpLogicalW(x->Attr158, y->Attr158) : StrCmpLogicalW(x->Name, y->Name);
}

}

int CALLBACK CServerTreeCtrl::CompareByName(LPARAM a, LPARAM b, LPARAM) { return CompareFolders(a, b, false); }
int CALLBACK CServerTreeCtrl::CompareBySortKey(LPARAM a, LPARAM b, LPARAM) { return CompareFolders(a, b, true); }

HTREEITEM CServerTreeCtrl::FindTopLevelAncestor(HTREEITEM item) const
{
    if (!item || item == TVI_ROOT)
        return nullptr;
    for (HTREEITEM parent; (parent = GetParentItem(item)) != nullptr;)
        item = parent;
    return item;
}

void CServerTreeCtrl::SetMenuButtonState(const _PROTO_FOLDER_INFO* f)
{
    if (!f || !m_pFrame || !m_pFrame->IsLoggedIn())
        return;
    m_pFrame->SetUploadAllowed(false);
    // Nothing is uploaded into the bin or the folders inside it.
    const bool inBin = Is(f->Attr27, "6") || Is(f->Attr27, "D");
    ServerMenuFacts facts;
    facts.downloadTarget = m_pFrame->IsDownloadTarget();
    UINT format = RegisterClipboardFormatW(L"VARIRUDAD");
    facts.clipboardHasItems = (format && IsClipboardFormatAvailable(format)) || IsClipboardFormatAvailable(CF_HDROP);
    facts.customerCode = m_pFrame->GetCustomerCode();
    const ServerMenuState s = ComputeTreeMenuState(*f, facts);
    m_pFrame->SetMenuButtonState(s);
    m_pFrame->SetUploadAllowed(Allowed(*f, UPLOAD) && !inBin);
    m_pFrame->SetViewButtonsEnabled(Allowed(*f, PREVIEW));
    m_pFrame->EnableSearchBox(Allowed(*f, SEARCH));
}

void CServerTreeCtrl::SetPaneColor(COLORREF color)
{
    m_paneColor = color;
    if (GetSafeHwnd()) {
        ::SendMessage(m_hWnd, TVM_SETBKCOLOR, 0, color);
        Invalidate();
    }
}

void CServerTreeCtrl::SelectServerPath(const CString& path)
{
    std::vector<CString> parts;
    int pos = 0;
    for (CString part; !(part = path.Tokenize(L"/", pos)).IsEmpty();)
        parts.push_back(part);
    SelectAlong(parts, false);
}

void CServerTreeCtrl::SelectServerNames(const std::vector<CString>& names)
{
    SelectAlong(names, true);
}

void CServerTreeCtrl::SelectAlong(const std::vector<CString>& parts, bool byName)
{
    SetRedraw(FALSE);
    HTREEITEM last = nullptr;
    if (parts.empty()) {
        last = GetRootItem();
        if (last)
            Expand(last, TVE_TOGGLE);
    } else {
        HTREEITEM level = GetRootItem();
        for (const CString& part : parts) {
            if (!level)
                break;
            CStringA want(part);
            HTREEITEM match = nullptr;
            for (HTREEITEM i = level; i && !match; i = GetNextSiblingItem(i)) {
                _PROTO_FOLDER_INFO* r = GetRecord(i);
                if (r && (byName ? part.CompareNoCase(r->Name) == 0 : want == r->IDX))
                    match = i;
            }
            if (!match)
                break;
            Expand(match, TVE_TOGGLE);
            last = match;
            level = GetChildItem(match);
        }
        // A stored path whose folders are gone opens the first folder instead.
        if (!last && byName)
            last = GetRootItem();
    }
    if (last) {
        SelectItem(last);
        EnsureVisible(last);
    }
    SetRedraw(TRUE);
}

void CServerTreeCtrl::OnItemExpanding(NMHDR* nm, LRESULT* result)
{
    auto* tv = reinterpret_cast<NMTREEVIEWW*>(nm);
    *result = 0;
    HTREEITEM item = tv->itemNew.hItem;
    if (tv->action != TVE_EXPAND || GetChildItem(item) || m_bBusy)
        return;
    _PROTO_FOLDER_INFO* r = GetRecord(item);
    if (!m_pFrame || !r || m_pFrame->CheckFolderPassword(*r, false) == -1) {
        *result = 1;
        return;
    }
    SetRedraw(FALSE);
    if (!DrawSubTreeNList(item, TREE_REFRESH_TREE_ONLY, true)) {
        SetRedraw(TRUE);
        *result = 1;
        if (m_bForcedClose && m_pFrame)
            m_pFrame->PostForcedLogout();
    }
}

void CServerTreeCtrl::OnItemExpanded(NMHDR*, LRESULT* result)
{
    SetRedraw(TRUE);
    *result = 0;
}

void CServerTreeCtrl::OnSelChanging(NMHDR* nm, LRESULT* result)
{
    auto* tv = reinterpret_cast<NMTREEVIEWW*>(nm);
    *result = 0;
    if (m_bSelectionSuppressed || m_bBusy || !m_pFrame) {
        *result = 1;
        return;
    }
    _PROTO_FOLDER_INFO* r = GetRecord(tv->itemNew.hItem);
    if (r && m_pFrame->CheckFolderPassword(*r, false) == -1)
        *result = 1;
}

void CServerTreeCtrl::OnSelChanged(NMHDR* nm, LRESULT* result)
{
    *result = 0;
    if (m_bSelectionSuppressed || !m_bNotDeleting || m_bBusy)
        return;
    AfterSelection(reinterpret_cast<NMTREEVIEWW*>(nm)->itemNew.hItem);
}

void CServerTreeCtrl::AfterSelection(HTREEITEM item)
{
    if (m_pList)
        m_pList->StopListThread();
    m_bBusy = true;
    m_bTopRemoved = false;
    if (!DrawTreeRoot(item)) {
        TraceLog(2048, L"DrawTreeRoot Error\n");
        m_bBusy = false;
        if (m_bForcedClose) {
            if (m_pFrame)
                m_pFrame->PostForcedLogout();
        } else if (m_bTopRemoved) {
            HTREEITEM first = GetRootItem();
            if (first && first == GetSelectedItem())
                DrawSubTreeNList(first, TREE_REFRESH_LIST_ONLY, true);
            else if (first)
                SelectItem(first);
        }
        return;
    }
    if (!DrawSubTreeNList(item, TREE_REFRESH_TREE_AND_LIST, true)) {
        TraceLog(2048, L"DrawSubTreeNList Error\n");
        m_bBusy = false;
        if (m_bForcedClose) {
            if (m_pFrame)
                m_pFrame->PostForcedLogout();
        } else if (HTREEITEM parent = GetParentItem(item)) {
            SelectItem(parent);
        }
        return;
    }
    SetMenuButtonState(GetRecord(item));
    m_bBusy = false;
}

void CServerTreeCtrl::OnKillFocusNotify(NMHDR*, LRESULT* result)
{
    m_bFocusSeen = false;
    *result = 0;
}

void CServerTreeCtrl::OnSetFocus(CWnd* oldWnd)
{
    CTreeCtrl::OnSetFocus(oldWnd);
    if (m_pFrame && !m_pFrame->IsLabelEditing())
        m_pFrame->SetActivePane(0, 0);
    if (!m_bFocusSeen) {
        m_bFocusSeen = true;
        SetMenuButtonState(GetRecord(GetSelectedItem()));
    }
}

void CServerTreeCtrl::OnDestroy()
{
    ClearTree();
    CTreeCtrl::OnDestroy();
}
