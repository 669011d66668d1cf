// CCorvaneUpdateApp: the update program's application object; InitInstance is its whole life.
#pragma once
#include "WinApp.h"

class CCorvaneUpdateApp : public CWinApp {
public:
    CCorvaneUpdateApp();
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    // The service command; the program ends after it.
    void RunServiceCommand(bool install);
    ULONG_PTR m_gdiplusToken = 0;
    int m_nExitCode = 0;
};
