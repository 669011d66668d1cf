// The update program's Windows-version code, language switch and dialog font.
//
// Not the client's CFileUtils of ToviInterface.dll: the update program links none of the
// client's libraries, so its toolkit is its own and may differ from the client's.
#pragma once
#include "Strings.h"
#include <windows.h>

class CFileUtils {
public:
    // 1..3 Windows 95/98/Me, 4 NT 4 or older, 5 2000, 6 XP, 7 Server 2003, 8 Vista, 9 7;
    // -1 for anything else or when the version cannot be read.
    static int GetWindowsType();
    // Makes language (a primary language id) the language of this thread's texts. False when
    // the Windows version is unknown or the system refused.
    static bool SetLocaleChange(int language);
    // The face of the dialogs' font for the product: "tahoma" in English, else "굴림".
    static CString GetFont(int index);
    // The language id that LoadResString uses (what SetLocaleChange set last).
    static LANGID TextLanguage();
    // The Windows-version code from explicit version fields (the decision, for tests).
    static int WindowsTypeOf(DWORD platform, DWORD major, DWORD minor, bool extended);
};
