// Resource ids of the upload windows: the upload window, the name-conflict prompt, the upload
// result list and the upload tip, and the transfer icons.
#pragma once

#define IDD_FILE_DUPLICATE              1003
#define IDD_UPLOAD                      1006
#define IDD_UPLOAD_RESULT_LIST          1021
#define IDD_UPLOAD_ALERT                1035

// The error-log mark of the transfer windows.
#define IDI_TRANSFER_ERROR              533

// Upload window.
#define IDC_UPLOAD_HIDDEN_ANCHOR        10000
#define IDC_UPLOAD_LIST                 10021
#define IDC_UPLOAD_LABEL_FOLDER         10022
#define IDC_UPLOAD_LABEL_SPEED          10023
#define IDC_UPLOAD_LABEL_FILE           10024
#define IDC_UPLOAD_PROGRESS_FILE        10025
#define IDC_UPLOAD_PROGRESS_TOTAL       10026
#define IDC_UPLOAD_RATE                 10027
#define IDC_UPLOAD_CLOSE_WHEN_DONE      10030
#define IDC_UPLOAD_FOLDER               10052
#define IDC_UPLOAD_FILE                 10055
#define IDC_UPLOAD_ERROR_LOG            10094
#define IDC_DIALOG_HIDDEN               10135

// Name-conflict prompt.
#define IDC_DUPLICATE_QUESTION          10014
#define IDC_DUPLICATE_NAME              10016
#define IDC_DUPLICATE_OVERWRITE         10017
#define IDC_DUPLICATE_SKIP              10018
#define IDC_DUPLICATE_APPLY_ALL         10019

// Upload result list.
#define IDC_UPLOAD_RESULT_LIST          10096
