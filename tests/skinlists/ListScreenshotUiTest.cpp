// Screenshots of every list type, in Korean and in English, for people to look at. The pictures
// land in the test program's scratch folder.
#include "ListTestDialog.h"
#include "PixelCapture.h"
#include "ProtoRecords.h"
#include "ProtoShareRecords.h"
#include "TestPaths.h"
#include "ToviButton.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include <gtest/gtest.h>
#include <cstring>
#include <cwchar>
#include "Gdi.h"
#include <memory>
#include <string>

namespace {

class ListScreenshots : public ListDialogTest {
protected:
    void Shoot(LANGID language, int listType, int guestType, const std::wstring& name)
    {
        ui.Run([&] { CToviTextLanguage::SetThreadLanguage(language); });
        Open(listType, guestType, true);
        ASSERT_FALSE(HasFatalFailure());
        ui.Run([&] {
            // The Korean dialogs use a Korean face; the template's face has no Hangul here.
            if (PRIMARYLANGID(language) == LANG_KOREAN) {
                LOGFONTW lf = {};
                ::GetObjectW((HFONT)dlg->SendMessage(WM_GETFONT), sizeof lf, &lf);
                std::wcscpy(lf.lfFaceName, L"NanumGothic");
                korean.reset(new CFont);
                korean->CreateFontIndirect(&lf);
                for (CWnd* w : { (CWnd*)&dlg->m_list, (CWnd*)&dlg->m_guests, (CWnd*)&dlg->m_edit })
                    w->SetFont(korean.get());
                dlg->m_list.SetFont();
            }
            FillList(listType);
            FillGuests(guestType);
            dlg->m_link.SetLink(true).SetTextColor(0xFF0000);
            dlg->m_edit.SetWindowText(L"guest@example.com");
            dlg->m_list.SetFocus();
            dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        });
        static const std::wstring dir = testpaths::ScratchDir(L"ListScreenshotUiTest");
        uitest::Pixels pixels = uitest::CaptureWindow(dlg->m_hWnd, 800);
        EXPECT_FALSE(pixels.Empty());
        EXPECT_TRUE(uitest::SavePng(pixels, dir + L"\\" + name + L".png"));
        ui.Run([&] {
            dlg->DestroyWindow();
            dlg.reset();
        });
    }

    void FillList(int type)
    {
        CToviListCtrl& list = dlg->m_list;
        const UINT names[5] = { 14047, 14159, 14064, 14091, 14202 };
        for (int i = 0; i < 5; ++i)
            list.InsertColumn(i, CToviString::GetString(names[i]), i == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT, i == 4 ? 130 : 110);
        dlg->m_header.Init(list.GetHeaderCtrl());
        dlg->m_header.SetOrder(0, 1);
        // The list owns its state images and destroys them with itself.
        if (type == CToviListCtrl::kTypeSearch)
            list.SetImageList(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1), LVSIL_STATE);
        const wchar_t* files[4] = { L"\xC5F0\xAC04 \xBCF4\xACE0\xC11C.docx", L"budget-2024.xlsx", L"Projects",
                                    L"meeting notes.txt" };
        std::memset(search, 0, sizeof search);
        std::memset(versions, 0, sizeof versions);
        list.m_strKeyword = L"report \xBCF4\xACE0\xC11C";
        for (int i = 0; i < 4; ++i) {
            list.InsertItem(i, files[i]);
            list.SetItemText(i, 1, (L"2024-03-07 10:2" + std::to_wstring(i)).c_str());
            list.SetItemText(i, 2, (std::to_wstring(12 * (i + 1)) + L" KB").c_str());
            list.SetItemText(i, 3, L"Kim");
            std::strcpy(search[i].ItemType, i == 2 ? "D" : "F");
            search[i].CheckState = i == 0 ? 2 : 0;
            std::wcscpy(search[i].Attr197, L"/Projects/2024/Reports");
            std::wcscpy(search[i].Attr219, i == 1 ? L"The quarterly REPORT of the budget" : L"\xC5F0\xAC04 \xBCF4\xACE0\xC11C \xCD08\xC548 report draft");
            list.SetItemData(i, type == CToviListCtrl::kTypeVersion ? (DWORD_PTR)&versions[i] : (DWORD_PTR)&search[i]);
            if (type == CToviListCtrl::kTypeVersion) {
                versions[i].ButtonSlots[0] = &buttons[i][0];
                versions[i].ButtonSlots[1] = &buttons[i][1];
                list.SetItemControl(i, CToviListCtrl::kButtonColumn, &buttons[i][0], &buttons[i][1],
                                    i == 3 ? "10111111" : "111111111");
            }
        }
        list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    void FillGuests(int type)
    {
        CVantelListCtrl& list = dlg->m_guests;
        std::memset(guests, 0, sizeof guests);
        std::memset(members, 0, sizeof members);
        const bool dates = type == CVantelListCtrl::kTypeGuestsWithDates;
        list.InsertColumn(0, L"E-mail", LVCFMT_LEFT, 200);
        list.InsertColumn(1, CToviString::GetString(14202), LVCFMT_LEFT, 90);
        if (dates)
            list.InsertColumn(2, L"Expires", LVCFMT_LEFT, 90);
        list.InsertColumn(dates ? 3 : 2, type == 2 ? L"Rights" : L"State", LVCFMT_LEFT, type == 3 || type == 4 ? 60 : 120);
        dlg->m_guestHeader.Init(list.GetHeaderCtrl());
        if (type == 3 || type == 4)
            list.SetExtendedStyle(LVS_EX_CHECKBOXES);
        const char* rights[4] = { "0222", "0200", "0020", "0002" };
        const char* states = "YNRY";
        const char* perms[4] = { "2222", "1200", "2021", "1002" };
        const UINT captions[4] = { 14091, 14095, 14064, 14089 };
        for (int i = 0; i < 4; ++i) {
            std::wstring address = L"guest" + std::to_wstring(i + 1) + L"@example.com";
            list.InsertItem(i, address.c_str());
            std::strcpy(guests[i].szPermission, rights[i]);
            guests[i].cStatus[0] = states[i];
            std::strcpy(members[i].Permission, perms[i]);
            std::strcpy(members[i].Write, i == 0 ? "2" : "0");
            list.SetItemData(i, type == 2 ? (DWORD_PTR)&members[i] : (DWORD_PTR)&guests[i]);
            if (type == 0)
                list.SetItemText(i, 2, CToviString::GetString(captions[i]));
            if (dates)
                list.SetItemText(i, 2, i == 3 ? L"" : L"2024-03-07");
        }
        if (dates)
            list.ShowDateEditor(1);
    }

    std::unique_ptr<CFont> korean;
    _PROTO_SEARCH_INFO search[4];
    _PROTO_VERSION_INFO versions[4];
    CToviButton buttons[4][2];
    _PROTO_GUEST_USER_INFO guests[4];
    _PROTO_SHARED_UGROUP members[4];
};

TEST_F(ListScreenshots, EveryListTypeInKoreanAndEnglish)
{
    const struct { LANGID language; const wchar_t* suffix; } languages[] = {
        { MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN), L"ko" },
        { MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), L"en" },
    };
    const struct { int list, guests; const wchar_t* name; } looks[] = {
        { CToviListCtrl::kTypeDefault, CVantelListCtrl::kTypeGuestStates, L"files-states" },
        { CToviListCtrl::kTypeVersion, CVantelListCtrl::kTypeSharePermissions, L"versions-permissions" },
        { CToviListCtrl::kTypeSearchContent, CVantelListCtrl::kTypeGuests, L"content-guests" },
        { CToviListCtrl::kTypeSearch, CVantelListCtrl::kTypeGuestsWithDates, L"search-dates" },
    };
    for (const auto& language : languages)
        for (const auto& look : looks)
            Shoot(language.language, look.list, look.guests, std::wstring(look.name) + L"-" + language.suffix);
}

}
