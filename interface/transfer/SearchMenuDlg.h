// CSearchMenuDlg: the condition panel on the search window's left: where the search looks, the
// file name, the search button with its progress bar, and the optional conditions (owner id,
// category, size range, modification dates). It holds the conditions the worker reads.
//
// A child of CSearchDlg, on the search window's thread. The worker reads the conditions only
// while a search runs, and the panel changes them only when none does.
#pragma once
#include "ComboBox.h"
#include "Dialog.h"
#include "Gdi.h"
#include "ToviButton.h"
#include "ToviInterfaceApi.h"
#include "ToviProgressCtrl.h"
#include <string>

class CSearchDlg;

class TOVIINTERFACE_API CSearchMenuDlg : public CDialog {
    DECLARE_DYNAMIC(CSearchMenuDlg)
public:
    CSearchMenuDlg(CSearchDlg* search, bool contentSearch, const CString& customFlag);

    // The conditions as the request carries them (single-byte texts, zero-filled).
    char m_szCategory[2] = {'A', 0};   // "A" all, "D" folders, "F" files
    char m_szSizeFrom[15] = {};
    char m_szSizeTo[15] = {};
    char m_szDateFrom[11] = {};
    char m_szDateTo[11] = {};
    bool m_bSearching = false;

    // Fills the two edits; a search text marks the panel as searching already.
    void InitMenu(const CString& searchText, const CString& location);
    // The search ended or stopped: the button offers a new search.
    void SearchEnded();
    CToviProgressCtrl& Progress() { return m_progress; }

    // ---- Decisions, callable without a window ----
    // A size row's range "lower-upper" split into its two bounds (either may be empty).
    static void SplitRange(const char* range, char (&from)[15], char (&to)[15]);
    // The range text of a size row (0..6), or null.
    static const char* SizeRange(int row);
    // The start of a range of months back from today: today less 30 days a month.
    static SYSTEMTIME MonthsBack(const SYSTEMTIME& today, int months);

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnSize(UINT nType, int cx, int cy);
    void OnNameChange();
    void OnSearchButton();
    void OnUserCheck();
    void OnCategoryCheck();
    void OnSizeCheck();
    void OnDateCheck();
    void OnMonthsChange();
    DECLARE_MESSAGE_MAP()

private:
    void InitControls();
    void LayoutControls(int height);
    void ReadSize();
    void SetMonthsBack();
    bool IsChecked(UINT id) const;
    void Enable(UINT id, bool on);
    bool ReadDates();

    CSearchDlg* m_pSearch;
    bool m_bContentSearch;
    CString m_strCustomFlag;
    CToviButton m_btnSearch;
    CToviProgressCtrl m_progress;
    CComboBox m_comboCategory;
    CComboBox m_comboSize;
    CComboBox m_comboMonths;
    CBrush m_brushWhite;
    CBrush m_brushPanel;
    CBrush m_brushLocation;
    CFont m_fontBold;
};
