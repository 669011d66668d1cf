// Resource ids of the list tests' dialog (block 9150-9169).
#pragma once

#define IDD_LIST_TEST            9150
#define IDC_LIST_TOVI            9151
#define IDC_LIST_VANTEL          9152
#define IDC_LIST_EDIT            9153
#define IDC_LIST_STATIC          9154
// Where the first button of row 15000 would land if button ids followed the row number alone.
#define IDC_LIST_OTHER           2765
