// CVantelListCtrl: the list of the guest and sharing dialogs. The list type, set by the dialog
// before it subclasses the list, picks the row colours and icons: 0 guest states, 2 shared-folder
// permissions, 3 guest addresses, 4 guest addresses with expiry dates (edited in place with a
// date picker in column 2). Types 3 and 4 edit addresses in column 0 in place and check them.
//
// Row records are the dialog's: types 3 and 4 a _PROTO_GUEST_USER_INFO, type 2 a record that
// begins with a _PROTO_SHARED_UGROUP. The dialog frees them (LVN_DELETEITEM reaches it as usual).
// Runs on the thread of the window.
#pragma once
#include "DateTimeCtrl.h"
#include "ImageList.h"
#include "ListCtrl.h"
#include "ToviInterfaceApi.h"
#include <string>

// Posted to the parent when an address typed in place is refused. wParam: the message text id
// (12107 already in the list, 12106 not a valid address), lParam: the row. The row keeps its text.
#define WM_GUEST_ADDRESS_REFUSED    (WM_USER + 42)
// Posted to the parent when an address typed in place was stored in column 0. wParam 0,
// lParam: the row.
#define WM_GUEST_ADDRESS_CHANGED    (WM_USER + 51)

class CToviHeaderCtrl;

class TOVIINTERFACE_API CVantelListCtrl : public CListCtrl {
    DECLARE_DYNAMIC(CVantelListCtrl)
public:
    enum { kTypeGuestStates = 0, kTypeSharePermissions = 2, kTypeGuests = 3, kTypeGuestsWithDates = 4 };
    enum { kDateEditorId = 1006 };

    CVantelListCtrl();
    ~CVantelListCtrl() override;

    // Type 4: closes the editor on another cell (writing its date there) and opens it on the
    // row's date cell when that holds a date.
    void ShowDateEditor(int row);
    // Writes a visible editor's date to its cell, hides it and forgets the cell.
    void EndDateEdit();

    // Dates go to cells in this form only.
    static std::wstring FormatDate(const SYSTEMTIME& date);
    // "YYYY-MM-DD" (anything may follow); false for anything else.
    static bool ParseDate(const wchar_t* text, SYSTEMTIME* date);

    CImageList* m_pImageList = nullptr;
    CString m_strCaption[5];
    CDateTimeCtrl* m_pDateEditor = nullptr;
    int m_nListType = -1;
    int m_nEditRow = -1;
    int m_nEditColumn = -1;
    bool m_bEditable = false;
    bool m_bLabelEditing = false;
    CString m_strEditText;
    bool m_bShowFourthIcon = false;

protected:
    void PreSubclassWindow() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnClick(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnBeginScroll(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    bool IsGuestList() const { return m_nListType == kTypeGuests || m_nListType == kTypeGuestsWithDates; }
    CToviHeaderCtrl* GetToviHeader() const;
    LRESULT SubItemPrePaint(NMLVCUSTOMDRAW* cd);
    void SubItemPostPaint(NMLVCUSTOMDRAW* cd);
    void PostPaintCell(HDC dc, int row, int column, const CRect& cell, LPARAM itemData);
    void DrawIcon(HDC dc, int image, const CRect& cell, int offset);
    bool EnsureDateEditor();
    void CommitVisibleEditor();
    void OpenDateEditor(int row, const SYSTEMTIME& date);
    void HideDateEditor();
    int FindAddress(const CString& text, int except) const;
};
