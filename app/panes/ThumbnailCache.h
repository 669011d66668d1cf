// The thumbnail cache of the server list's picture view: Documents\VariruDAD\Thumbnail, one PNG
// per server file version, fetched with I2 on the filling worker's own connection.
//
// Called on the filling worker. Names are made only of letters and digits of the server's
// texts, so nothing can land outside the cache folder.
#pragma once
#include "ProtoRecords.h"
#include "Strings.h"
#include "ToviProto.h"
#include <atomic>

// "IDX_DIDX_YYYYMMDDhhmmss.png" from the record's texts, each reduced to ASCII letters and
// digits; empty when the index has none.
CString ThumbnailCacheName(const char* idx, const char* didx, const wchar_t* modified);
// The cache folder, created when missing; empty when the documents folder is unknown.
CString ThumbnailCacheDir();
// Whether a file row gets a server picture: PREVIEW allowed, a size above 0 and an extension
// (lower case, without its dot) found in the image-extension list.
bool QualifiesForThumbnail(const _PROTO_FOLDER_INFO& record, const CString& imageExtensions);

enum class ThumbnailFetch { Reused, Fetched, Failed, Stopped };

// Makes sure dir holds the record's picture: a cached file is reused; otherwise it is fetched
// on proto. A picture whose transfer ended normally is kept, continuation pages or not; the
// partial file goes when a request failed or stop ended the transfer.
ThumbnailFetch FetchThumbnail(CToviProto& proto, HWND progress, const _PROTO_FOLDER_INFO& record, const CString& dir,
                              const std::atomic<bool>& stop, CString& path);
