// Resource ids of the skinned toolkit and the products' own icons (500-630), and the system
// buttons that every skinned dialog template carries (10123-10125).
#pragma once

// System buttons of a skinned dialog, left to right; the close button is in every dialog.
#define IDC_SYSBTN_MINIMIZE             10123
#define IDC_SYSBTN_MIDDLE               10124
#define IDC_SYSBTN_CLOSE                10125

// Person and the reserved folder icons of the shared image lists.
#define IDI_PERSON                      500
#define IDI_LOCK_OVERLAY                556
#define IDI_YELLOW_OPEN                 557
#define IDI_YELLOW_CLOSE                558
#define IDI_SHARE_YELLOW_OPEN           559
#define IDI_SHARE_YELLOW_CLOSE          560
#define IDI_DOMAIN_BLUE_OPEN            561
#define IDI_BLUE_CLOSE                  562
#define IDI_BLUE_OPEN                   563
#define IDI_GROUP_BLUE_CLOSE            564
#define IDI_GROUP_BLUE_OPEN             565
#define IDI_DOMAIN_BLUE_CLOSE           566
#define IDI_GUEST_GREEN_OPEN            567
#define IDI_GUEST_GREEN_CLOSE           568
#define IDI_TRASH_YELLOW_OPEN           569
#define IDI_INDIVIDUAL_YELLOW_CLOSE     570
#define IDI_INDIVIDUAL_YELLOW_OPEN      571
#define IDI_TRASH_YELLOW_CLOSE          572
#define IDI_PHOTO_YELLOW_OPEN           573
#define IDI_PHOTO_YELLOW_CLOSE          574
#define IDI_GREEN_OPEN                  575
#define IDI_TRASH_RED_CLOSE             576
#define IDI_TRASH_RED_OPEN              577
#define IDI_GREEN_CLOSE                 578
#define IDI_RED_OPEN                    579
#define IDI_RED_CLOSE                   580
#define IDI_FILE_BOX_OPEN               581
#define IDI_FILE_BOX_CLOSE              582
#define IDI_MASTER_YELLOW_OPEN          592
#define IDI_MASTER_YELLOW_CLOSE         593
#define IDI_YELLOW_SHARE_OPEN           598
#define IDI_YELLOW_SHARE_CLOSE          599
#define IDI_BLUE_SHARE_OPEN             600
#define IDI_BLUE_SHARE_CLOSE            601
#define IDI_BACKUP_OPEN                 626
#define IDI_BACKUP_CLOSE                627

// Search box: magnifier when focused, magnifier when idle, the search button.
#define IDI_SEARCH_FOCUS                521
#define IDI_SEARCH_IDLE                 522
#define IDI_SEARCH_GO                   523

// Caption buttons: normal, hover, pressed and disabled image of each style.
#define IDI_CLOSE_HOVER                 534
#define IDI_CLOSE_PRESSED               535
#define IDI_MINIMIZE_HOVER              536
#define IDI_MIDDLE_PRESSED              537
#define IDI_MIDDLE_NORMAL               538
#define IDI_MIDDLE_HOVER                539
#define IDI_MINIMIZE_PRESSED            540
#define IDI_MINIMIZE_NORMAL             541
#define IDI_MINIMIZE_DISABLED           542
#define IDI_CLOSE_DISABLED              543
#define IDI_MIDDLE_DISABLED             544
#define IDI_FRAME_CLOSE_HOVER           545
#define IDI_FRAME_CLOSE_PRESSED         546
#define IDI_FRAME_CLOSE_NORMAL          547
#define IDI_FRAME_MINIMIZE_NORMAL       548
#define IDI_FRAME_MIDDLE_NORMAL         549
#define IDI_FRAME_MINIMIZE_PRESSED      550
#define IDI_FRAME_MIDDLE_PRESSED        551
#define IDI_FRAME_MINIMIZE_HOVER        552
#define IDI_FRAME_MIDDLE_HOVER          553
#define IDI_CLOSE_NORMAL                604

// The products' own icons: the main window icon and the tray icon while connected (on),
// disconnected (off) and transferring (run), for the explorer, drive and backup editions.
#define IDI_IXO_MAIN_DRIVE              590
#define IDI_IXO_MAIN                    591
#define IDI_IXO_TRAY_OFF                614
#define IDI_IXO_TRAY_ON                 615
#define IDI_IXO_TRAY_ON_DRIVE           616
#define IDI_IXO_TRAY_OFF_DRIVE          617
#define IDI_IXO_MAIN_BACKUP             619
#define IDI_IXO_TRAY_RUN_BACKUP         628
#define IDI_IXO_TRAY_OFF_BACKUP         629
#define IDI_IXO_TRAY_ON_BACKUP          630

// Log-in windows: the login button's icon and the folder-password prompt's icon.
#define IDI_BTN_LOGIN                   532
#define IDI_PASSWORD_LOCK               555

// Buttons of the sharing windows and the properties window's mark for several items.
#define IDI_BTN_MOVE                    524
#define IDI_BTN_REMOVE                  525
#define IDI_BTN_APPLY                   526
#define IDI_BTN_ADD                     527
#define IDI_MANY_ITEMS                  605
