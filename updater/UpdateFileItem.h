// One file of the download list; the sections it is built from are the shared reader's records.
#pragma once
#include "Strings.h"
#include "UpdateDescription.h"
#include <vector>

// One file to fetch.
struct _UPDATE_FILE_ITEM {
    CString FileName;
    CString Url;
    CString DownloadPath;   // where the enciphered body is kept while it is deciphered
    CString TargetPath;     // the file that is replaced
    CString InstalledPath;  // the installed file the decision compared
    CString Encrypt;
    CString Hash;
    CString PreAction;
    CString PostAction;
    CString DestDir;
};

typedef std::vector<_UPDATE_FILE_ITEM> UpdateFileList;
