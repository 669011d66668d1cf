// CCorvaneIXOApp: the application object of CorvaneIXO: one instance per user session, the
// interface library started before any window, the hidden main window, the command line and
// the network check that leads to the update check or the log-in.
#pragma once
#include "Framework.h"

class CCorvaneIXOApp : public CWinApp {
public:
    CCorvaneIXOApp();
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    bool m_bInterfaceStarted = false;
};

extern CCorvaneIXOApp theApp;
