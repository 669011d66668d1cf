// The browser views' occ manager.
#include "CustomOccManager.h"
#include "CustomControlSite.h"

COleControlSite* CCustomOccManager::CreateSite(COleControlContainer* pCtrlCont)
{
    return new CCustomControlSite(pCtrlCont);
}
