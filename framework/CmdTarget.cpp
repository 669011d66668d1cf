// Message-map lookup and command dispatch.
#include "CmdTarget.h"
#include "CmdUI.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const FwMessageMap* CCmdTarget::GetThisMessageMap()
{
    static const FwMsgMapEntry entries[] = { { 0, 0, 0, 0, 0, nullptr, FwSig_end, nullptr } };
    static const FwMessageMap messageMap = { nullptr, entries };
    return &messageMap;
}

const FwMessageMap* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

namespace {
bool IsCommandEntry(const FwMsgMapEntry& e)
{
    return e.nSig != FwSig_l_wp_lp && e.nSig != FwSig_v_wp_lp;   // ON_MESSAGE(WM_COMMAND, ...) is not
}
}

const FwMsgMapEntry* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID, bool bReflected) const
{
    for (const FwMessageMap* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const FwMsgMapEntry* e = map->lpEntries; e->nSig != FwSig_end; ++e) {
            if (((e->nFlags & kFwEntryReflected) != 0) != bReflected)
                continue;
            UINT entryMessage = (e->nFlags & kFwEntryRegistered) ? *e->pnMessage : e->nMessage;
            if (entryMessage != nMessage || entryMessage == 0)
                continue;
            if (bReflected) {
                if (e->nCode == nCode)
                    return e;
            } else if ((nMessage == WM_COMMAND || nMessage == WM_NOTIFY) && IsCommandEntry(*e)) {
                if (e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
                    return e;
            } else {
                return e;
            }
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, FwCmdHandlerInfo* pHandlerInfo)
{
    UINT nMessage = WM_COMMAND;
    UINT nLookupCode = (UINT)nCode;
    if (nCode == CN_NOTIFY) {
        auto* extra = static_cast<FwNotifyExtra*>(pExtra);
        if (extra == nullptr || extra->pNMHDR == nullptr)
            return FALSE;
        nMessage = WM_NOTIFY;
        nLookupCode = extra->pNMHDR->code;
    }
    for (const FwMessageMap* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const FwMsgMapEntry* e = map->lpEntries; e->nSig != FwSig_end; ++e) {
            if ((e->nFlags & (kFwEntryReflected | kFwEntryRegistered)) != 0 || e->nMessage != nMessage
                || !IsCommandEntry(*e) || e->nCode != nLookupCode || nID < e->nID || nID > e->nLastID)
                continue;
            if (pHandlerInfo) {
                pHandlerInfo->pTarget = this;
                pHandlerInfo->pmf = e->pfn;
                return TRUE;
            }
            // An _EX handler that declines lets the search go on.
            if (DispatchCmdMsg(e, nID, nCode, pExtra))
                return TRUE;
        }
    }
    return FALSE;
}

BOOL CCmdTarget::DispatchCmdMsg(const FwMsgMapEntry* e, UINT nID, int nCode, void* pExtra)
{
    auto* notify = static_cast<FwNotifyExtra*>(pExtra);
    switch (e->nSig) {
    case FwSig_v_v:
        (this->*reinterpret_cast<void (CCmdTarget::*)()>(e->pfn))();
        return TRUE;
    case FwSig_b_v:
        return (this->*reinterpret_cast<BOOL (CCmdTarget::*)()>(e->pfn))();
    case FwSig_v_u:
        (this->*reinterpret_cast<void (CCmdTarget::*)(UINT)>(e->pfn))(nID);
        return TRUE;
    case FwSig_b_u:
        return (this->*reinterpret_cast<BOOL (CCmdTarget::*)(UINT)>(e->pfn))(nID);
    case FwSig_v_cmdui: {
        auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
        if (pCmdUI == nullptr)
            return FALSE;
        pCmdUI->m_bContinueRouting = FALSE;
        (this->*reinterpret_cast<void (CCmdTarget::*)(CCmdUI*)>(e->pfn))(pCmdUI);
        return !pCmdUI->m_bContinueRouting;
    }
    case FwSig_v_nm_pl:
        if (nCode != CN_NOTIFY)
            return FALSE;
        (this->*reinterpret_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(e->pfn))(notify->pNMHDR, notify->pResult);
        return TRUE;
    case FwSig_v_u_nm_pl:
        if (nCode != CN_NOTIFY)
            return FALSE;
        (this->*reinterpret_cast<void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(e->pfn))(nID, notify->pNMHDR,
                                                                                        notify->pResult);
        return TRUE;
    case FwSig_b_u_nm_pl:
        if (nCode != CN_NOTIFY)
            return FALSE;
        return (this->*reinterpret_cast<BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(e->pfn))(
            nID, notify->pNMHDR, notify->pResult);
    default:
        return FALSE;
    }
}
