// The download window as a user sees it, in Korean and English: the location and file boxes show
// their texts on white, the speed line says the rate mid-run, and the status column holds its word. The
// pictures are kept under T:\scratch\download-look for people to look at.
#include <winsock2.h>
#include "DownloadHost.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <algorithm>
#include <map>

using namespace downloadtest;

namespace {

struct Look {
    unsigned short language;
    const wchar_t* tag;
    const wchar_t* completed;
};

class DownloadLook : public DownloadHost, public ::testing::WithParamInterface<Look> {};

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

TEST_P(DownloadLook, TheLocationFileAndSpeedLinesShowTheirTextsAndTheStatusFits)
{
    const Look& look = GetParam();
    const std::wstring dir = testpaths::ScratchDir((std::wstring(L"download-look-") + look.tag).c_str());
    UseLanguage(look.language);
    // Six files whose streams each wait half a second, the last one ten: the window is caught
    // mid-run, when the speed line has had two seconds to say something, however long a loaded
    // display takes over the clicks below.
    std::vector<_DOWNLOADINFO> items;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "look-" + Utf8(look.tag) + "/part-" + std::to_string(i) + ".bin";
        PutFile(name, 100000 + i);
        items.push_back(FileItem(name, m_dest));
    }
    ASSERT_EQ("OK", Control("FAULT slow-stream ms=500 count=5 cmd=H1").substr(0, 2));
    ASSERT_EQ("OK", Control("FAULT slow-stream ms=10000 skip=5 count=1 cmd=H1").substr(0, 2));
    CDownloadThread* thread = Start(items);
    ASSERT_NE(nullptr, thread);
    HWND wnd = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] {
        wnd = Window(thread);
        return wnd && ::IsWindowVisible(wnd) && GetDlgItem(wnd, 10030);
    }, 15000)) << "the download window did not show";
    // Ticking the close-when-done box shows its mark (and unticking takes it away again). Done
    // first, while the run has all six files ahead of it: a box still ticked at the run's end
    // closes the window. Each click is checked once the box has taken it.
    const HWND box = GetDlgItem(wnd, 10030);
    ASSERT_NE(nullptr, box);
    RECT boxArea;
    GetClientRect(box, &boxArea);
    const POINT onBox = {8, boxArea.bottom / 2};
    const uitest::Pixels unticked = uitest::CaptureWindow(box, 300);
    // The window settles (shown, brought forward, its labels fitted) before the pointer aims at it;
    // a first click that a loaded display still lost is given once more.
    ASSERT_TRUE(uitest::WaitUntilSteady(
        [&] {
            RECT at = {};
            GetWindowRect(box, &at);
            return std::to_string(at.left) + "," + std::to_string(at.top) + "," +
                   std::to_string(::GetForegroundWindow() == wnd);
        },
        300));
    const auto ticked = [&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    uitest::ClickWithMouse(box, onBox);
    if (!uitest::WaitUntil(ticked, 3000))
        uitest::ClickWithMouse(box, onBox);
    ASSERT_TRUE(uitest::WaitUntil(ticked, 10000)) << "the click did not tick the box";
    const uitest::Pixels tickedShot = uitest::CaptureWindow(box, 300);
    int changed = 0;
    for (int y = 0; y < std::min(tickedShot.height, unticked.height); ++y)
        for (int x = 0; x < std::min(tickedShot.width, unticked.width); ++x)
            changed += tickedShot.At(x, y) != unticked.At(x, y);
    EXPECT_GT(changed, 4) << "the box's mark is not drawn";
    uitest::ClickWithMouse(box, onBox);
    ASSERT_TRUE(uitest::WaitUntil([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, 10000))
        << "the second click did not untick the box";
    const bool midRun = uitest::WaitUntil(
        [&] {
            const std::vector<Row> rows = Rows(thread);
            return rows.size() == 6 && rows[3].status == look.completed && rows[5].status != look.completed;
        },
        15000);
    const uitest::Pixels shot = uitest::CaptureWindow(wnd, 300);
    EXPECT_TRUE(uitest::SavePng(shot, dir + L"\\running.png"));
    ASSERT_TRUE(midRun);
    for (int id : {10052, 10055, 10027}) {
        const HWND control = GetDlgItem(wnd, id);
        ASSERT_NE(nullptr, control);
        COLORREF ground = CLR_INVALID;
        const int ink = InkPixels(shot, wnd, control, &ground);
        EXPECT_EQ(RGB(255, 255, 255), ground) << id << " sits on a white box";
        wchar_t text[512] = {};
        GetWindowTextW(control, text, 512);
        EXPECT_NE(L'\0', text[0]) << id;
        EXPECT_GT(ink, 20) << "the text of " << id << " is not drawn";
    }
    // The rows' icons come from the system's list, which an earlier window must not take along.
    const HWND list = GetDlgItem(wnd, 10021);
    const HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    EXPECT_GT(ImageList_GetImageCount(icons), 0);
    ASSERT_TRUE(WaitForRunEnd(thread, 60000));
    // The run is over only once every row shows its final word.
    std::vector<Row> rows = Rows(thread);
    ASSERT_EQ(6u, rows.size());
    for (const Row& row : rows) {
        EXPECT_EQ(look.completed, row.status);
        EXPECT_GE(ColumnFits(list, 2, row.status), 0) << "the status column cuts the word";
    }
    EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(wnd, 300), dir + L"\\done.png"));
    Finish(thread);
}

// Korean first: the English window opens after one has come and gone.
INSTANTIATE_TEST_SUITE_P(Languages, DownloadLook,
                         ::testing::Values(Look{LANG_KOREAN, L"ko", L"완료"},
                                           Look{LANG_ENGLISH, L"en", L"Completed"}),
                         [](const ::testing::TestParamInfo<Look>& info) {
                             return info.param.language == LANG_KOREAN ? "Korean" : "English";
                         });
