// Command-bar rules of the server tree and list.
#include "ServerMenuRules.h"
#include <cstring>

namespace {

enum { DOWNLOAD = 1, COPY = 2, NEW_DIR = 5, NEW_FILE = 6, DELETE_ = 7, DEL_COMP = 8, MOVE_CUT = 11, FILELINK = 12,
       SHARE = 13, APPROVAL = 20, DR_EDIT = 26 };

bool Allowed(const _PROTO_FOLDER_INFO& r, int position)
{
    return position < static_cast<int>(strnlen(r.Attr189, sizeof r.Attr189)) && r.Attr189[position] == '1';
}

bool Is(const char* text, const char* value) { return std::strcmp(text, value) == 0; }

}

ServerMenuState ComputeListMenuState(const std::vector<const _PROTO_FOLDER_INFO*>& selected,
                                     const _PROTO_FOLDER_INFO& folder, const ServerMenuFacts& facts)
{
    ServerMenuState s;
    bool folderTakesItems = Allowed(folder, NEW_DIR) || Allowed(folder, NEW_FILE);
    s.paste = folderTakesItems && facts.clipboardHasItems;
    if (selected.empty()) {
        s.newFolder = Allowed(folder, NEW_DIR);
        s.approval = true;
        return s;
    }
    bool one = selected.size() == 1;
    s.newFolder = one && Allowed(*selected[0], NEW_DIR);
    s.share = one && Allowed(*selected[0], SHARE);
    s.directEdit = one && Allowed(*selected[0], DR_EDIT);
    s.link = true;
    s.approval = true;
    for (const _PROTO_FOLDER_INFO* r : selected) {
        bool isFolder = Is(r->ItemType, "D");
        if (isFolder)
            s.vrwd = CString(r->Attr5);
        s.download = s.download || (Allowed(*r, DOWNLOAD) && facts.downloadTarget);
        bool special = Is(r->Attr27, "D") && Is(r->IDX, "2");
        s.remove = s.remove || ((Allowed(*r, DELETE_) || Allowed(*r, DEL_COMP)) && !special);
        s.copy = s.copy || Allowed(*r, COPY);
        s.cut = s.cut || Allowed(*r, MOVE_CUT);
        s.link = s.link && !isFolder && Allowed(*r, FILELINK);
        s.approval = s.approval && !isFolder && Allowed(*r, APPROVAL);
    }
    s.approvalAfterGoTo = facts.customerCode.CompareNoCase(L"ZRVT_IN") == 0 && Is(folder.Attr27, "A");
    return s;
}

ServerMenuState ComputeTreeMenuState(const _PROTO_FOLDER_INFO& f, const ServerMenuFacts& facts)
{
    ServerMenuState s;
    s.vrwd = CString(f.Attr5);
    s.newFolder = Allowed(f, NEW_DIR);
    // The bin itself is no folder to fetch (a download made an empty local "Recycle Bin").
    const bool binItself = Is(f.Attr27, "6") && Is(f.Attr178, "0");
    s.download = Allowed(f, DOWNLOAD) && facts.downloadTarget && !binItself;
    s.share = Allowed(f, SHARE);
    s.remove = (Allowed(f, DELETE_) || Allowed(f, DEL_COMP)) && !binItself &&
               !(Is(f.Attr27, "D") && Is(f.IDX, "2"));
    s.copy = Allowed(f, COPY);
    s.cut = Allowed(f, MOVE_CUT);
    s.paste = (Allowed(f, NEW_DIR) || Allowed(f, NEW_FILE)) && facts.clipboardHasItems;
    s.approvalAfterGoTo = facts.customerCode == L"ZRVT_IN" && Is(f.Attr27, "A");
    return s;
}
