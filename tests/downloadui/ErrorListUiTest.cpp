// The error list: its title and sentence by operation kind, one row per record with name and
// location.
#include <winsock2.h>
#include "DownloadHost.h"
#include "ErrorListDlg.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <cstring>

using namespace downloadtest;

namespace {

class ErrorList : public DownloadHost {
protected:
    // Opens the list as a caller does; returns its window, or null.
    HWND Open(int kind, const std::vector<_PROTO_FOLDER_INFO>& items, const wchar_t* title)
    {
        m_task = m_ui.Post([kind, items] {
            CErrorListDlg dlg;
            dlg.m_nOperation = kind;
            dlg.m_vecItems = items;
            dlg.DoModal();
        });
        HWND wnd = nullptr;
        uitest::WaitUntil([&] { return (wnd = uitest::FindTopWindow(L"#32770", title)) != nullptr; }, 10000);
        return wnd;
    }
    std::shared_ptr<uitest::UiTask> m_task;
};

_PROTO_FOLDER_INFO Record(const char* kind, const wchar_t* name, const wchar_t* location, const char* folderType = "")
{
    _PROTO_FOLDER_INFO item = {};
    std::strcpy(item.ItemType, kind);
    std::strcpy(item.Attr27, folderType);
    wcsncpy(item.Name, name, 1023);
    wcsncpy(item.Attr197, location, 4095);
    return item;
}

std::wstring Cell(HWND list, int row, int column)
{
    wchar_t text[600] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 600;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

}

TEST_F(ErrorList, TheKindNamesTheWindowAndEveryRecordIsARow)
{
    const std::wstring longPath(700, L'p');
    HWND wnd = Open(2, {Record("F", L"report.doc", L"My Files/Docs"), Record("D", L"Photos", longPath.c_str(), "1")},
                    L"Move Error List");
    ASSERT_NE(nullptr, wnd);
    EXPECT_EQ(L"Could not finish Move for the items listed below.", uitest::GetText(GetDlgItem(wnd, 10133)));
    HWND list = GetDlgItem(wnd, 10020);
    ASSERT_EQ(2, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(L"report.doc", Cell(list, 0, 0));
    EXPECT_EQ(L"My Files/Docs", Cell(list, 0, 1));
    EXPECT_EQ(L"Photos", Cell(list, 1, 0));
    EXPECT_EQ(519u, Cell(list, 1, 1).size()) << "a location is cut to 519 characters";
    uitest::ClickButton(wnd, IDCANCEL);
    EXPECT_TRUE(m_task->Wait(5000));
}

TEST_F(ErrorList, AnUnknownKindLeavesTheKindOutAndAnEmptyListStaysEmpty)
{
    HWND wnd = Open(4, {}, L" Error List");
    ASSERT_NE(nullptr, wnd);
    EXPECT_EQ(L"Could not finish  for the items listed below.", uitest::GetText(GetDlgItem(wnd, 10133)));
    EXPECT_EQ(0, SendMessageW(GetDlgItem(wnd, 10020), LVM_GETITEMCOUNT, 0, 0));
    uitest::ClickButton(wnd, 10125);
    EXPECT_TRUE(m_task->Wait(5000));
}
