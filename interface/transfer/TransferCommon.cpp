// The transfer items' names: the refusal of one that does not fit.
#include "TransferCommon.h"
#include "ToviMsg.h"

namespace transfer {

CString TooLongText(const wchar_t* name, bool fileName)
{
    // 12075: a file's name too long; 12076: a folder's (also a path too long).
    CString text = name ? name : L"";
    if (text.GetLength() > 40)
        text = text.Left(40) + L"...";
    return text + L"\n\n" + CToviMsg::GetString(fileName ? 12075 : 12076);
}

}
