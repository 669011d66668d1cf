// Base of every object that has a message map: windows, threads and the application.
#pragma once
#include "Object.h"
#include "MessageMap.h"

class FW_API CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // Looks up a command (nCode a WM_COMMAND notification code, CN_COMMAND or
    // CN_UPDATE_COMMAND_UI) or a notification (nCode CN_NOTIFY, pExtra an FwNotifyExtra) in
    // this object's map chain and calls the handler. With pHandlerInfo, only reports the
    // handler. TRUE when handled.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, FwCmdHandlerInfo* pHandlerInfo);

    // The first entry of this object's map chain for the message (registered messages included),
    // or null. Reflected entries are found only when bReflected is set.
    const FwMsgMapEntry* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID, bool bReflected) const;

    // Calls a handler of a map entry with the cracked parameters of a message. Used by the
    // window and thread dispatchers; pResult receives the message result.
    BOOL DispatchMsgEntry(const FwMsgMapEntry* pEntry, UINT nMessage, WPARAM wParam, LPARAM lParam,
                          LRESULT* pResult);

protected:
    static const FwMessageMap* GetThisMessageMap();
    virtual const FwMessageMap* GetMessageMap() const;

    // Calls a command or notification handler found by OnCmdMsg.
    BOOL DispatchCmdMsg(const FwMsgMapEntry* pEntry, UINT nID, int nCode, void* pExtra);
};
