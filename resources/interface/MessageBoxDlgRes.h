// Resource ids of the message box: its template, its text line and the button icons that the
// common dialogs share (OK check mark, cancel cross, confirm check mark).
#pragma once

#define IDD_MESSAGEBOX_DIALOG           1019
#define IDC_MSGBOX_TEXT                 10162

#define IDI_BTN_CANCEL                  528
#define IDI_BTN_OK                      529
#define IDI_BTN_CONFIRM                 530
