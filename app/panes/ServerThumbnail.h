// The picture of one row in the server list's thumbnail view: a folder's icon, a file's server
// picture (through the thumbnail cache) or its shell icon, in a box with a thin frame.
//
// Called on the filling worker; GDI+ must be running.
#pragma once
#include "ProtoRecords.h"
#include "Strings.h"
#include "ToviProto.h"
#include <atomic>
#include <windows.h>

// Where a picture of width x height goes in a box: unscaled and centred when it fits, else
// scaled by the smaller ratio and centred (offsets truncated).
RECT ThumbnailPlacement(int width, int height, int boxWidth, int boxHeight);

// The interface library's icon resource of a folder row in the picture view; 0 for none.
// current is the shown folder (null at the top), underRoot whether it is a top-level folder.
UINT ThumbnailFolderIcon(const _PROTO_FOLDER_INFO& row, const _PROTO_FOLDER_INFO* current, bool underRoot);

struct ThumbnailJob {
    int width = 120;
    int height = 90;
    CString imageExtensions;   // lower case
    CString cacheDir;
    CToviProto* proto = nullptr;   // the worker's own connection; null: no server pictures
    HWND progress = nullptr;
    const std::atomic<bool>* stop = nullptr;
};

// The row's picture as a 32-bit bitmap the caller owns; null only when GDI+ cannot make one.
HBITMAP MakeThumbnail(const _PROTO_FOLDER_INFO& row, const _PROTO_FOLDER_INFO* current, bool underRoot,
                      const ThumbnailJob& job);
