// The download window as a user sees it, in Korean and English: the location and file boxes show
// their texts on white, the speed line sits on white, and the status column holds its word. The
// pictures are kept under T:\scratch\download-look for people to look at.
#include <winsock2.h>
#include "DownloadHost.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <algorithm>
#include <map>

using namespace downloadtest;

namespace {

class DownloadLook : public DownloadHost {};

// Pixels of the control's area (inside the window picture) that differ from the area's most
// common colour: the strokes of its text, none when the text is not drawn.
int InkPixels(const uitest::Pixels& shot, HWND window, HWND control, COLORREF* ground = nullptr)
{
    RECT frame, area;
    GetWindowRect(window, &frame);
    GetWindowRect(control, &area);
    OffsetRect(&area, -frame.left, -frame.top);
    std::map<COLORREF, int> counts;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            ++counts[shot.At(x, y)];
    int most = 0, total = 0;
    for (const auto& c : counts) {
        if (c.second > most && ground)
            *ground = c.first;
        most = std::max(most, c.second);
        total += c.second;
    }
    return total - most;
}

int ColumnFits(HWND list, int column, const std::wstring& text)
{
    const int needed = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    // The list pads a cell's text by about six pixels on either side.
    return width - (needed + 12);
}

}

TEST_F(DownloadLook, TheLocationFileAndSpeedLinesShowTheirTextsAndTheStatusFits)
{
    const std::wstring dir = testpaths::ScratchDir(L"download-look");
    const struct {
        unsigned short language;
        const wchar_t* tag;
        const wchar_t* completed;
    } looks[] = {{LANG_KOREAN, L"ko", L"완료"}, {LANG_ENGLISH, L"en", L"Completed"}};
    for (const auto& look : looks) {
        SCOPED_TRACE(look.tag);
        UseLanguage(look.language);
        // The log-in picks the dialog face of the language; these windows open without it.
        ASSERT_TRUE(CToviRegistry::SetDialogFont(0, look.language == LANG_KOREAN ? L"맑은 고딕" : L"Tahoma"));
        PutFile("look/slow.bin", 900000);
        PutFile("look/quick.txt", 3000);
        CDownloadThread* thread = Start({FileItem("look/slow.bin", m_dest), FileItem("look/quick.txt", m_dest)});
        ASSERT_NE(nullptr, thread);
        const HWND wnd = Window(thread);
        ASSERT_TRUE(uitest::WaitUntil(
            [&] {
                const std::vector<Row> rows = Rows(thread);
                return rows.size() == 2 && !rows[0].status.empty();
            },
            15000));
        const uitest::Pixels shot = uitest::CaptureWindow(wnd, 300);
        EXPECT_TRUE(uitest::SavePng(shot, dir + L"\\running-" + look.tag + L".png"));
        for (int id : {10052, 10055, 10027}) {
            const HWND control = GetDlgItem(wnd, id);
            ASSERT_NE(nullptr, control);
            COLORREF ground = CLR_INVALID;
            const int ink = InkPixels(shot, wnd, control, &ground);
            EXPECT_EQ(RGB(255, 255, 255), ground) << id << " sits on a white box";
            // The speed line may be empty once a quick run has ended; the boxes always hold text.
            if (id == 10027)
                continue;
            wchar_t text[512] = {};
            GetWindowTextW(control, text, 512);
            EXPECT_NE(L'\0', text[0]) << id;
            EXPECT_GT(ink, 20) << "the text of " << id << " is not drawn";
        }
        ASSERT_TRUE(WaitForRunEnd(thread, 60000));
        const std::vector<Row> rows = Rows(thread);
        ASSERT_EQ(2u, rows.size());
        for (const Row& row : rows) {
            EXPECT_EQ(look.completed, row.status);
            EXPECT_GE(ColumnFits(GetDlgItem(wnd, 10021), 2, row.status), 0) << "the status column cuts the word";
        }
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(wnd, 300), dir + L"\\done-" + look.tag + L".png"));
        Finish(thread);
    }
}
