// Commands of the user, shortcut, file-operation, item, share, guest and link requests, in host
// form. Internal to the connection library.
#pragma once
#include "ToviProtoTypes.h"

#define C_UGROUP_LIST       PROT_CMD('C', '0')
#define C_UGROUP_SEARCH     PROT_CMD('C', '1')
#define C_FD_ATTR           PROT_CMD('D', '1')
#define C_FD_SEARCH         PROT_CMD('D', '2')
#define C_VER_LIST          PROT_CMD('D', '3')
#define C_SHORTCUT          PROT_CMD('D', '6')
#define C_SHORTCUT_LIST     PROT_CMD('D', '7')
#define C_CP_MV             PROT_CMD('F', '1')
#define C_DELETE            PROT_CMD('F', '2')
#define C_RENAME            PROT_CMD('F', '3')
#define C_BIN_EMPTY         PROT_CMD('F', '4')
#define C_BIN_RESTORE       PROT_CMD('F', '5')
#define C_LIMIT             PROT_CMD('F', '7')
#define C_DSHARE_INFO       PROT_CMD('G', '0')
#define C_DSHARE_SET        PROT_CMD('G', '1')
#define C_GSHARE_INFO       PROT_CMD('G', '2')
#define C_GSHARE_SET        PROT_CMD('G', '3')
#define C_GUEST_INFO        PROT_CMD('G', '4')
#define C_GUEST_SET         PROT_CMD('G', '5')
#define C_GUEST_MULTI_INFO  PROT_CMD('G', '6')
#define C_GUEST_MULTI_SET   PROT_CMD('G', '7')
#define C_GUEST_RESET_PWD   PROT_CMD('G', '8')
#define C_UPLOAD_BANDWIDTH  PROT_CMD('H', '7')
#define C_LINK_SET          PROT_CMD('I', '0')
#define C_LINK_INFO         PROT_CMD('I', '1')
#define C_THUMBNAIL         PROT_CMD('I', '2')
#define C_SEND_FILES        PROT_CMD('I', '3')
#define C_DELETE_PC         PROT_CMD('S', '8')

#include <cstring>
#include <string>

// The text of a fixed-width record member: up to its terminator, never past its width.
template <size_t N> std::string MemberText(const char (&member)[N])
{
    return std::string(member, strnlen(member, N));
}
