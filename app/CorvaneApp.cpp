// CCorvaneApp: the CorvaneIXO application object.
#include "CorvaneApp.h"
#include "DemoFrame.h"
#include "ToviRegistry.h"
#include "ToviTextLanguage.h"

CCorvaneApp::CCorvaneApp() : CWinApp(L"CorvaneIXO") {}

BOOL CCorvaneApp::InitInstance()
{
    // Without a stored language the texts follow the thread's locale.
    unsigned short language = 0;
    if (CToviRegistry::GetLanguage(PRODUCT_EXPLORER, &language))
        CToviTextLanguage::SetThreadLanguage(language);

    // A window that fails in its creation has deleted its object already.
    CDemoFrame* frame = new CDemoFrame;
    if (!frame->CreateFrame(m_nCmdShow))
        return FALSE;
    m_pMainWnd = frame;
    return TRUE;
}
