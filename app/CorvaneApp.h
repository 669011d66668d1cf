// CCorvaneApp: the CorvaneIXO application object.
#pragma once
#include "Framework.h"

class CCorvaneApp : public CWinApp {
public:
    CCorvaneApp();
    // Applies the stored language and opens the main window.
    BOOL InitInstance() override;
};
