// Commands of the log-in, option, folder and transfer requests, in host form. Internal.
#pragma once
#include "ToviProtoTypes.h"

#define C_OPTION            PROT_CMD('A', '1')
#define C_DOMAIN_LIST       PROT_CMD('A', '2')
#define C_SAMBA_OPTION      PROT_CMD('A', '3')
#define C_CLI_VER           PROT_CMD('A', '4')
#define C_LANG_LIST         PROT_CMD('A', '5')
#define C_LOGIN             PROT_CMD('B', '0')
#define C_LOGOUT            PROT_CMD('B', '1')
#define C_SESS_UPDATE       PROT_CMD('B', '2')
#define C_PASSWD_UPDATE     PROT_CMD('B', '3')
#define C_ALARM_UPDATE      PROT_CMD('B', '4')
#define C_QUOTA_UPDATE      PROT_CMD('B', '5')
#define C_FD_LIST           PROT_CMD('D', '0')
#define C_FD_CACHE          PROT_CMD('D', '4')
#define C_FILE_COUNT        PROT_CMD('D', '5')
#define C_MKDIR             PROT_CMD('F', '0')
#define C_UPLOAD            PROT_CMD('H', '0')
#define C_DNLOAD            PROT_CMD('H', '1')
#define C_UPLOAD_RESULT     PROT_CMD('H', '5')
#define C_UPLOAD_CANCEL     PROT_CMD('H', '6')
