// CVantelStatic: a label of the update program's dialogs; its text is drawn straight on the
// dialog's body (the dialog answers WM_CTLCOLORSTATIC).
//
// Not the client's CVantelStatic of ToviInterface.dll: the update program links none of the
// client's libraries, so its toolkit is its own and may differ from the client's.
#pragma once
#include "Static.h"

class CVantelStatic : public CStatic {
public:
    void SetText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); ::InvalidateRect(m_hWnd, nullptr, TRUE); }
};
