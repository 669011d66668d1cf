// One section of an update description and one file of the download list.
#pragma once
#include "Strings.h"
#include <vector>

// One section of a description file, every field zero-terminated within its capacity.
struct _UPDATE_MODULE_INFO {
    wchar_t SectionName[128];
    wchar_t FileName[260];      // on the server (".enc" when enciphered)
    wchar_t LocalName[260];     // FileName without ".enc" when ENCRYPT begins with "Y"
    wchar_t TargetDir[260];     // folder on the server and below the install folder
    wchar_t DestDir[260];       // "Home", "Update" or another: where the file goes
    wchar_t Encrypt[2];
    wchar_t Version[62];        // empty: compare by digest only
    wchar_t Hash[128];          // SHA-1 of the plain file, 40 hexadecimal digits
    wchar_t PreAction[62];      // "KILL": end the running program of that name first
    wchar_t PostAction[62];
};

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
