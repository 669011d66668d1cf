// The clipboard module the four explorer panes share: local files as the shell's CF_HDROP (with
// "Preferred DropEffect" for a cut), and server items as the registered "VARIRUDAD" text.
//
// All functions run on the GUI thread. Callers own every vector and string; the registered
// identifier of "VARIRUDAD" is the caller's (0 makes every server-item function do nothing).
//
// A server-item text is records joined by "\"; a record is 32 fields joined by "|": 29 members
// of the folder record (fields 14 and 15 hold the 15th and 14th member: that order is what other
// copies of the program write and read), the source folder path, the cut mark "M" or "C" and the
// source pane tag "SL" or "SR".
#pragma once
#include "ProtoRecords.h"
#include "Strings.h"
#include <windows.h>
#include <vector>

class COleDataObject;

// Field count of one server-item record.
constexpr int kFolderInfoFieldCount = 32;

// ---- Pure helpers: no clipboard, testable on their own ----

// A copy of size bytes in zero-filled movable global memory, as the clipboard and a data
// source take it; null when the memory cannot be had.
HGLOBAL GlobalCopy(const void* bytes, size_t size);
// The wide DROPFILES block of the non-empty paths (header, each path with its terminator, one
// closing zero). Empty when no path is left.
std::vector<BYTE> BuildDropFilesBlock(const std::vector<CString>& paths);
// Paths of a DROPFILES block, wide or ANSI; never reads past size. False when none was read.
bool ParseDropFilesBlock(const BYTE* block, size_t size, std::vector<CString>& paths);
// Splits a server-item text into records; records that are not exactly 32 fields or whose
// values do not fit their members are left out. Out values are those of the last good record.
bool ParseFolderInfoText(const CString& text, std::vector<_PROTO_FOLDER_INFO>& records, CString& paneTag,
                         CString& sourcePath, bool& cut);

// ---- The clipboard functions ----

// Local files: 1 when the clipboard now holds the list (a cut adds the move drop effect), else 0.
int CopyFileListClipboard(const std::vector<CString>& paths, bool cut);
int GetFileListClipboard(std::vector<CString>& paths, bool& cut);
int GetFileListDataObject(std::vector<CString>& paths, COleDataObject* dataObject);

// Server items. The writer refuses (0) a list in which any record cannot be written.
int CopyFolderInfoListClipboard(const UINT* format, const std::vector<_PROTO_FOLDER_INFO>& records,
                                const CString& paneTag, const CString& sourcePath, bool cut);
// Appends one record text to text. False, text unchanged, when a value holds "|" or "\" (it
// would split the record on reading) or a narrow member does not convert.
bool CopyFolderInfoClipboard(const _PROTO_FOLDER_INFO& record, const CString& paneTag, const CString& sourcePath,
                             const CString& cutMark, CString& text);
int GetFolderInfoListClipboard(const UINT* format, std::vector<_PROTO_FOLDER_INFO>& records, CString& paneTag,
                               CString& sourcePath, bool& cut);
int GetFolderInfoListDataObject(COleDataObject* dataObject, const UINT* format,
                                std::vector<_PROTO_FOLDER_INFO>& records, CString& paneTag, CString& sourcePath);
// Fills record from the 32 split fields starting at first. False, record untouched, when there
// are not exactly 32 fields from first on or a value does not fit its member.
bool GetFolderInfoClipboard(_PROTO_FOLDER_INFO& record, CString& paneTag, CString& sourcePath, bool& cut,
                            const std::vector<CString>& fields, size_t first);
// The caller has opened the clipboard; this empties and closes it.
void ClearClipboard();
