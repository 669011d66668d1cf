// CCustomOccManager: makes CCustomControlSite the site of the browser views that use it.
#pragma once
#include "ControlSite.h"
#include "ToviInterfaceApi.h"

class TOVIINTERFACE_API CCustomOccManager : public COccManager {
public:
    COleControlSite* CreateSite(COleControlContainer* pCtrlCont) override;
};
