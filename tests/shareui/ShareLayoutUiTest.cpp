// The sharing dialogs as a user reads them, in English and Korean: every label, check box and
// button shows its whole text, every list heading its whole title within the list, nothing
// leaves the window and no two visible controls overlap; the permission legend sits beside its
// checks and the buttons carry their icons.
#include <winsock2.h>
#include "ShareHost.h"
#include "GShareDlg.h"
#include "PixelCapture.h"
#include "SendFileDlg.h"
#include "ShareDlg.h"
#include "ToviTextLanguage.h"
#include "VImageList.h"
#include "WindowDriver.h"
#include <cstring>
#include <sstream>

using namespace sharetest;

namespace {

std::wstring ClassOf(HWND wnd)
{
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return name;
}

SIZE Extent(HWND control, const std::wstring& text, int width, bool wrap)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &rect, DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT InDialog(HWND dialog, HWND control)
{
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Name(HWND control)
{
    std::ostringstream out;
    out << GetDlgCtrlID(control) << " \"";
    for (wchar_t c : uitest::GetText(control))
        out << (c < 0x80 ? static_cast<char>(c) : '?');
    out << "\"";
    return out.str();
}

// What a user cannot read whole in the dialog, one line each.
std::vector<std::string> Problems(HWND dialog)
{
    std::vector<std::string> problems;
    RECT client = {};
    GetClientRect(dialog, &client);
    std::vector<std::pair<HWND, RECT>> shown;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        const RECT rect = InDialog(dialog, child);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        const std::wstring cls = ClassOf(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        const std::wstring text = uitest::GetText(child);
        if (rect.left < client.left || rect.top < client.top || rect.right > client.right || rect.bottom > client.bottom)
            problems.push_back(Name(child) + " leaves the window");
        shown.push_back({child, rect});
        if (_wcsicmp(cls.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) != SS_ICON && !text.empty()) {
            const SIZE need = Extent(child, text, width, true);
            if (need.cx > width || need.cy > height)
                problems.push_back(Name(child) + " needs " + std::to_string(need.cx) + "x" + std::to_string(need.cy) +
                                   ", has " + std::to_string(width) + "x" + std::to_string(height));
        } else if (_wcsicmp(cls.c_str(), L"Button") == 0 && !text.empty()) {
            const LONG type = style & BS_TYPEMASK;
            const bool check = type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON ||
                               type == BS_RADIOBUTTON;
            // A check's box and gap (a disabled check's greyed text needs a little more); a skinned
            // button's icon and margins; a plain button's margins.
            const int room = check ? 26 : type == BS_OWNERDRAW ? 20 + 8 : 8;
            const SIZE need = Extent(child, text, 0, false);
            if (need.cx + room > width)
                problems.push_back(Name(child) + " needs " + std::to_string(need.cx + room) + " px, has " +
                                   std::to_string(width));
        } else if (_wcsicmp(cls.c_str(), WC_LISTVIEWW) == 0) {
            HWND header = ListView_GetHeader(child);
            RECT inside = {};
            GetClientRect(child, &inside);
            const int columns = Header_GetItemCount(header);
            int right = 0;
            for (int i = 0; i < columns; ++i) {
                wchar_t title[128] = {};
                LVCOLUMNW column = {};
                column.mask = LVCF_TEXT | LVCF_WIDTH;
                column.pszText = title;
                column.cchTextMax = 128;
                ListView_GetColumn(child, i, &column);
                right += column.cx;
                const SIZE need = Extent(header, title, 0, false);
                std::string what = Name(child) + " column " + std::to_string(i);
                if (need.cx + 18 > column.cx)
                    problems.push_back(what + " needs " + std::to_string(need.cx + 18) + " px, has " +
                                       std::to_string(column.cx));
                if (right > inside.right)
                    problems.push_back(what + " ends at " + std::to_string(right) + " past the list's " +
                                       std::to_string(inside.right));
            }
        }
    }
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j) {
            RECT both = {};
            if (IntersectRect(&both, &shown[i].second, &shown[j].second))
                problems.push_back(Name(shown[i].first) + " overlaps " + Name(shown[j].first));
        }
    return problems;
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += "\n  " + line;
    return out;
}

// The icon a static shows, drawn on white.
uitest::Pixels StaticIcon(HWND control)
{
    HICON icon = reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0));
    return uitest::RenderPainter(16, 16, [icon](HDC dc) { DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL); });
}

uitest::Pixels ResourceIcon(unsigned id)
{
    HICON icon = CVImageList::GetIcon(id, 16, 16);
    return uitest::RenderPainter(16, 16, [icon](HDC dc) { DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL); });
}

// The disc colour of each button icon: apply, cancel, OK, add, remove, move on.
const struct { unsigned icon; COLORREF disc; } kButtonIcons[] = {
    {526, RGB(0x1E, 0x9E, 0x8F)}, {528, RGB(0x8C, 0x8C, 0x8C)}, {529, RGB(0x3F, 0x86, 0xCC)},
    {527, RGB(0x3A, 0x9D, 0x5D)}, {525, RGB(0xD9, 0x53, 0x4F)}, {524, RGB(0x5B, 0x7F, 0xA6)},
};

COLORREF DiscOf(unsigned icon)
{
    for (const auto& row : kButtonIcons)
        if (row.icon == icon)
            return row.disc;
    return CLR_INVALID;
}

class ShareLayoutTest : public ShareHost {
protected:
    void SetUp() override
    {
        ShareHost::SetUp();
        SeedOrganisation();
        m_folder = MakeFolder("My Files/Team");
        m_file = MakeFile("My Files/Team/plan.txt", "plan");
    }

    void Language(unsigned short language)
    {
        UseLanguage(language);
        m_ui.Run([language] { CToviTextLanguage::SetThreadLanguage(language); });
    }

    // Opens the dialog with its picker loaded, checks it, and cancels it.
    void Expect(const char* what, std::function<INT_PTR()> doModal)
    {
        HWND dialog = StartModal(doModal, nullptr);
        ASSERT_NE(nullptr, dialog) << what;
        EXPECT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }, 10000)) << what;
        EXPECT_TRUE(WaitIdle());
        const auto problems = Problems(dialog);
        EXPECT_TRUE(problems.empty()) << what << ":" << Lines(problems);
        uitest::ClickButton(dialog, IDCANCEL);
        EXPECT_EQ(IDCANCEL, WaitModal());
    }

    std::string m_folder, m_file;
};

TEST_F(ShareLayoutTest, EveryTextOfTheSharingDialogsShowsWholeInEnglishAndKorean)
{
    for (unsigned short language : {9, 18}) {
        SCOPED_TRACE(language);
        Language(language);
        ASSERT_EQ(0, m_proto.GetDShareInfo(const_cast<char*>(m_folder.c_str())));
        CShareDlg share;
        share.m_pProto = &m_proto;
        std::strcpy(share.m_szFolderId, m_folder.c_str());
        share.m_bViewerDigit = true;
        share.m_cPickerAtOnce = 'Y';
        std::memcpy(share.m_szSearchType, "YYY", 3);
        Expect("share", [&] { return share.DoModal(); });

        for (bool quota : {false, true}) {
            CGShareDlg group;
            group.m_pProto = &m_proto;
            std::strcpy(group.m_szFolderId, m_folder.c_str());
            group.m_bViewerDigit = true;
            group.m_bQuotaShown = quota;
            group.m_cPickerAtOnce = 'Y';
            std::memcpy(group.m_szSearchType, "YYY", 3);
            Expect(quota ? "group share with quota" : "group share", [&] { return group.DoModal(); });
        }

        CSendFileDlg send;
        send.m_pProto = &m_proto;
        _SEND_FILES file = {};
        std::strcpy(file.szId, m_file.c_str());
        wcscpy(file.wszName, L"plan.txt");
        std::strcpy(file.szSize, "4");
        send.m_vecFiles = {file};
        send.m_cDeleteOption = 'Y';
        send.m_cExpireMode = 'Y';
        std::memcpy(send.m_szSearchType, "YYY", 3);
        Expect("send file", [&] { return send.DoModal(); });
    }
}

}

namespace {

// Checks the legend beside the permission checks and the icons of the skinned buttons.
class ShareIconsTest : public ShareLayoutTest {
protected:
    void ExpectLegend(bool viewer)
    {
        // Each legend icon shows its image-list entry and stands just left of its check.
        const struct { int icon; int check; unsigned resource; } legend[] = {
            {10098, 10085, 510}, {10100, 10086, 509}, {10099, 10087, 508}, {10101, 10088, 505},
            {10102, 10089, 507}, {10103, 10091, 506}, {10334, 10233, 631},
        };
        for (const auto& row : legend) {
            SCOPED_TRACE(row.icon);
            if (row.icon == 10334 && !viewer) {
                EXPECT_FALSE(IsWindowVisible(Item(row.icon)));
                continue;
            }
            ASSERT_TRUE(IsWindowVisible(Item(row.icon)));
            EXPECT_EQ(ResourceIcon(row.resource).bgra, StaticIcon(Item(row.icon)).bgra);
            const RECT icon = InDialog(m_dialog, Item(row.icon));
            const RECT check = InDialog(m_dialog, Item(row.check));
            EXPECT_LE(icon.right, check.left);
            EXPECT_LE(check.left - icon.right, 6);
            EXPECT_LT(icon.top, check.bottom);
            EXPECT_GT(icon.bottom, check.top);
        }
    }

    // The skinned button shows its icon: owner-drawn, with the icon's disc on the screen.
    void ExpectButtonIcon(int id, unsigned icon)
    {
        SCOPED_TRACE(id);
        HWND button = Item(id);
        ASSERT_TRUE(IsWindowVisible(button));
        ASSERT_TRUE(IsWindowEnabled(button));
        EXPECT_EQ(BS_OWNERDRAW, GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK);
        const uitest::Pixels shot = uitest::CaptureWindow(button, 300);
        EXPECT_GE(shot.Count(DiscOf(icon), RECT{0, 0, shot.width, shot.height}), 40) << "icon " << icon;
    }
};

TEST_F(ShareIconsTest, TheShareDialogsShowTheLegendAndSkinnedButtonsWithTheirIcons)
{
    for (bool group : {false, true}) {
        SCOPED_TRACE(group ? "group share" : "share");
        ASSERT_EQ(0, m_proto.GetDShareInfo(const_cast<char*>(m_folder.c_str())));
        std::unique_ptr<CShareDlg> dlg(group ? new CGShareDlg : new CShareDlg);
        dlg->m_pProto = &m_proto;
        std::strcpy(dlg->m_szFolderId, m_folder.c_str());
        dlg->m_bViewerDigit = group;
        CShareDlg* raw = dlg.get();
        ASSERT_NE(nullptr, StartModal([raw] { return raw->DoModal(); }, nullptr));
        ExpectLegend(group);
        for (auto [id, icon] : {std::pair<int, unsigned>{10083, 526}, {IDCANCEL, 528}, {10097, 529}, {10081, 527},
                                {10082, 525}, {10202, 524}})
            ExpectButtonIcon(id, icon);
        uitest::ClickButton(m_dialog, 10081);
        ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }, 10000));
        ASSERT_TRUE(WaitIdle());
        ExpectButtonIcon(10079, 524);
        uitest::ClickButton(m_dialog, IDCANCEL);
        EXPECT_EQ(IDCANCEL, WaitModal());
    }
}

TEST_F(ShareIconsTest, TheSendFileButtonsCarryTheirIconsAndTheirTextsWidth)
{
    CSendFileDlg send;
    send.m_pProto = &m_proto;
    _SEND_FILES file = {};
    std::strcpy(file.szId, m_file.c_str());
    wcscpy(file.wszName, L"plan.txt");
    std::strcpy(file.szSize, "4");
    send.m_vecFiles = {file};
    ASSERT_NE(nullptr, StartModal([&] { return send.DoModal(); }, nullptr));
    ASSERT_TRUE(uitest::WaitUntil([this] { return ListView_GetItemCount(Item(10058)) > 0; }, 10000));
    ASSERT_TRUE(WaitIdle());
    ExpectButtonIcon(10082, 525);
    ExpectButtonIcon(10079, 524);
    // As wide as the text and 40 pixels (the icon's room within them), in the button's own face.
    for (int id : {10082, 10079}) {
        const RECT rect = InDialog(m_dialog, Item(id));
        const int text = Extent(Item(id), uitest::GetText(Item(id)), 0, false).cx;
        EXPECT_NEAR(text + 40, rect.right - rect.left, 4) << id;
    }
    uitest::ClickButton(m_dialog, IDCANCEL);
    EXPECT_EQ(IDCANCEL, WaitModal());
}

}
