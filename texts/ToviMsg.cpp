// Message texts by id.
#include "ToviMsg.h"
#include "ToviTextLanguage.h"

CString CToviMsg::GetString(unsigned int id)
{
    return CString(GetTable().Find(id, CToviTextLanguage::GetThreadTextLanguage()));
}
