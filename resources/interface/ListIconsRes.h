// Resource ids of the list icons: the rights and states that the sharing and guest lists show
// per row, and the header's check boxes.
#pragma once

// Shared-folder permissions and guest rights: granted, partly granted and not granted.
#define IDI_RIGHT_UPLOAD                505
#define IDI_RIGHT_DELETE_PART           506
#define IDI_RIGHT_DELETE                507
#define IDI_RIGHT_DOWNLOAD              508
#define IDI_RIGHT_VIEW_PART             509
#define IDI_RIGHT_VIEW                  510
#define IDI_RIGHT_UPLOAD_OFF            594
#define IDI_RIGHT_DELETE_OFF            595
#define IDI_RIGHT_DOWNLOAD_OFF          596
#define IDI_RIGHT_SHARE_WRITE           631

// Guest states: active (Y), stopped (N), invited and not yet answered (R).
#define IDI_GUEST_ACTIVE                606
#define IDI_GUEST_STOPPED               607
#define IDI_GUEST_INVITED               608

// Header check box, unchecked and checked: the classic look and the look of newer systems.
#define IDI_HEADER_CHECK_OFF            610
#define IDI_HEADER_CHECK_ON             611
#define IDI_HEADER_CHECK_OFF_NEW        612
#define IDI_HEADER_CHECK_ON_NEW         613

// The server list's status column: an item's information flags, drawn with the command bar's icons.
#include "BarIconsRes.h"
#define IDI_STATUS_LINK                 IDI_CMD_LINK
#define IDI_STATUS_INCOMPLETE           IDI_STATUS_INCOMPLETE_UPLOAD
