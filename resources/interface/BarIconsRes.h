// Resource ids of the command bar's button icons and of the server list's status icons.
#pragma once

// Command bar buttons. The link icon is also the list's LINK status icon; the approval icon
// serves the approval request and the direct-edit button.
#define IDI_CMD_LINK                    512
#define IDI_CMD_NEW_FOLDER              513
#define IDI_CMD_DOWNLOAD                514
#define IDI_CMD_UPLOAD                  515
#define IDI_CMD_SHARE                   516
#define IDI_CMD_COPY                    517
#define IDI_CMD_DELETE                  518
#define IDI_CMD_CUT                     520
#define IDI_CMD_PASTE                   554
#define IDI_CMD_APPROVAL                1046

// Status icons of the server list's status column, by the information flag they show.
#define IDI_STATUS_SEARCH               583
#define IDI_STATUS_VERSIONING           584
#define IDI_STATUS_HIDDEN               585
#define IDI_STATUS_LIMITED              586
#define IDI_STATUS_PROTECTED            587
#define IDI_STATUS_PASSWORD             602
#define IDI_STATUS_DRM                  609
#define IDI_STATUS_INCOMPLETE_UPLOAD    618
