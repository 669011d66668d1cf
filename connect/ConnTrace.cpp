// The SEND and RECEIVE trace lines of the connection.
#include "ConnTrace.h"
#include "ToviProto.h"
#include "ToviProtoTypes.h"
#include "TraceLog.h"

namespace {

struct SendName {
    uint16_t command;
    const wchar_t* line;
};

const SendName kSendLines[] = {
    {PROT_CMD('A', '1'), L"    ▶▶▶    SEND [ A1 ] C_OPTION : [ %x ]\n"},
    {PROT_CMD('A', '2'), L"    ▶▶▶    SEND [ A2 ] C_DOMAIN_LIST : [ %x ]\n"},
    {PROT_CMD('A', '4'), L"    ▶▶▶    SEND [ A4 ] C_CLI_VER : [ %x ]\n"},
    {PROT_CMD('A', '5'), L"    ▶▶▶    SEND [ A5 ] C_LANG_LIST : [ %x ]\n"},
    {PROT_CMD('B', '0'), L"    ▶▶▶    SEND [ B0 ] C_LOGIN : [ %x ]\n"},
    {PROT_CMD('B', '1'), L"    ▶▶▶    SEND [ B1 ] C_LOGOUT : [ %x ]\n"},
    {PROT_CMD('B', '2'), L"    ▶▶▶    SEND [ B2 ] C_SESS_UPDATE : [ %x ]\n"},
    {PROT_CMD('B', '3'), L"    ▶▶▶    SEND [ B3 ] C_PASSWD_UPDATE : [ %x ]\n"},
    {PROT_CMD('D', '1'), L"    ▶▶▶    SEND [ D1 ] C_FD_ATTR : [ %x ]\n"},
    {PROT_CMD('D', '2'), L"    ▶▶▶    SEND [ D2 ] C_FD_SEARCH : [ %x ]\n"},
    {PROT_CMD('D', '3'), L"    ▶▶▶    SEND [ D3 ] C_VER_LIST : [ %x ]\n"},
    {PROT_CMD('D', '4'), L"    ▶▶▶    SEND [ D4 ] C_FD_CACHE : [ %x ]\n"},
    {PROT_CMD('D', '6'), L"    ▶▶▶    SEND [ D6 ] C_SHORTCUT : [ %x ]\n"},
    {PROT_CMD('D', '7'), L"    ▶▶▶    SEND [ D7 ] C_SHORTCUT_LIST : [ %x ]\n"},
    {PROT_CMD('F', '0'), L"    ▶▶▶    SEND [ F0 ] C_MKDIR : [ %x ]\n"},
    {PROT_CMD('F', '1'), L"    ▶▶▶    SEND [ F1 ] C_CP_MV : [ %x ]\n"},
    {PROT_CMD('F', '2'), L"    ▶▶▶    SEND [ F2 ] C_DELETE : [ %x ]\n"},
    {PROT_CMD('F', '3'), L"    ▶▶▶    SEND [ F3 ] C_RENAME : [ %x ]\n"},
    {PROT_CMD('F', '4'), L"    ▶▶▶    SEND [ F4 ] C_BIN_EMPTY : [ %x ]\n"},
    {PROT_CMD('F', '5'), L"    ▶▶▶    SEND [ F5 ] C_BIN_RESTORE : [ %x ]\n"},
    {PROT_CMD('F', '7'), L"    ▶▶▶    SEND [ F7 ] C_LIMIT : [ %x ]\n"},
    {PROT_CMD('H', '0'), L"    ▶▶▶    SEND [ H0 ] C_UPLOAD : [ %x ]\n"},
    {PROT_CMD('H', '1'), L"    ▶▶▶    SEND [ H1 ] C_DNLOAD : [ %x ]\n"},
    {PROT_CMD('H', '5'), L"    ▶▶▶    SEND [ H5 ] C_UPLOAD_RESULT : [ %x ]\n"},
    {PROT_CMD('H', '7'), L"    ▶▶▶    SEND [ H7 ] C_UPLOAD_BANDWIDTH : [ %x ]\n"},
    {PROT_CMD('I', '2'), L"    ▶▶▶    SEND [ I2 ] C_THUMBNAIL : [ %x ]\n"},
    {PROT_CMD('S', '8'), L"    ▶▶▶    SEND [ S8 ] C_DELETE_PC : [ %x ]\n"},
};

bool Untraced(uint16_t command)
{
    return command == C_SECURE_CODE || command == PROT_CMD('B', '4') || command == PROT_CMD('B', '5');
}

}

void TraceSend(CToviProto* owner, uint16_t command)
{
    if (Untraced(command))
        return;
    for (const SendName& entry : kSendLines) {
        if (entry.command == command) {
            TraceLog(TRACE_SEND, entry.line, command);
            return;
        }
    }
    if (command == PROT_CMD('D', '0')) {
        // The listing line also counts the folder records the object holds so far.
        int count = owner ? static_cast<int>(owner->FolderInfo.size()) + 1 : 1;
        int capacity = owner ? static_cast<int>(owner->FolderInfo.capacity()) : 0;
        TraceLog(TRACE_SEND, L"    ▶▶▶    SEND [ D0 ] C_FD_LIST : [ %x ]     ---  file count = %d --- capacity = %d\n",
                 command, count, capacity);
        return;
    }
    TraceLog(TRACE_SEND, L"    ▶▶▶    SEND CODE = [ %x ]\n", command);
}

void TraceReceive(uint16_t command)
{
    if (Untraced(command))
        return;
    if (command == C_ERROR)
        TraceLog(TRACE_ERROR, L"    ◀◀◀    RECEIVE [ %x ] C_ERROR!\n", command);
    else
        TraceLog(TRACE_RECV_OK, L"    ◀◀◀    RECEIVE [ %x ] Success!\n", command);
}
