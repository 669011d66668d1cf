// CToviProgressCtrl: the update dialog's progress bar: a rounded track, a blue gradient bar and
// a status text drawn over both. Range and position stay the common control's own.
//
// Not the client's CToviProgressCtrl of ToviInterface.dll: the update program links none of
// the client's libraries, so its toolkit is its own and may differ from the client's.
#pragma once
#include "ProgressCtrl.h"
#include "Strings.h"

class CToviProgressCtrl : public CProgressCtrl {
public:
    // The text over the bar; repaints at once.
    void SetBarText(const CString& text);
    CString GetBarText() const { return m_text; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    CString m_text;
};
