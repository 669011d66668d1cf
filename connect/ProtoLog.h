// The protocol log file under the install folder. Internal.
#pragma once
#include "Strings.h"

class CToviConn;

// Appends "[hh:mm:ss] text" to "<InstallDir>\Log\[Proto][<thread id>] <yyyy-mm-dd>.txt" in the
// Korean code page. Silent on every failure (no InstallDir, no folder, no file).
void WriteProtoLog(CToviConn* conn, const CString& text);
