// CCorvaneUpdateApp: the update program's application object; InitInstance is its whole life.
#pragma once
#include "WinApp.h"

class CCorvaneUpdateApp : public CWinApp {
public:
    CCorvaneUpdateApp();
    BOOL InitInstance() override;
    int ExitInstance() override;

    // The "RunAsStdUser" start: the product of that index from its install folder, with the
    // ordinary rights of the logged-on user. 0 started (or its task registered), 1 not started,
    // -1 no install folder is known (the caller runs an update instead).
    static int StartProductAsStdUser(int index);

private:
    // The service command; the program ends after it.
    void RunServiceCommand(bool install);
    ULONG_PTR m_gdiplusToken = 0;
    int m_nExitCode = 0;
};
