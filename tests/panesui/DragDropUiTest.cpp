// The panes' drag data: the formats a pane drag carries, read back as a drop target reads
// them, and the auto-scroll band and steps.
#include "DragDrop.h"
#include "OleDataObject.h"
#include "ServerClipboard.h"
#include "Wnd.h"
#include <gtest/gtest.h>
#include <ole2.h>
#include <algorithm>
#include <cstring>

namespace {

template <size_t N> void Set(char (&member)[N], const char* value)
{
    std::memcpy(member, value, std::min(std::strlen(value), N - 1));
}

_PROTO_FOLDER_INFO Record(const wchar_t* name)
{
    _PROTO_FOLDER_INFO r = {};
    Set(r.ItemType, "F");
    Set(r.IDX, "321");
    Set(r.DIDX, "1");
    wcsncpy(r.Name, name, 1023);
    Set(r.Attr28, "N");
    return r;
}

class DragDropTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }

    std::vector<BYTE> Bytes(COleDataObject& data, const wchar_t* format)
    {
        UINT id = format ? RegisterClipboardFormatW(format) : CF_HDROP;
        HGLOBAL block = data.GetGlobalData(static_cast<CLIPFORMAT>(id));
        if (!block)
            return {};
        std::vector<BYTE> bytes(GlobalSize(block));
        std::memcpy(bytes.data(), GlobalLock(block), bytes.size());
        GlobalUnlock(block);
        GlobalFree(block);
        return bytes;
    }
};

}

TEST_F(DragDropTest, ServerItemsGoAsOneCopyTextWithTheirOrigin)
{
    auto* source = new CDragDataSource;
    ASSERT_NE(0u, source->m_cfServerItems);
    EXPECT_FALSE(source->CacheServerItems({}, L"SR", L"My Files"));
    ASSERT_TRUE(source->CacheServerItems({Record(L"a.txt"), Record(L"b.txt")}, L"SR", L"My Files/docs"));
    COleDataObject data;
    data.Attach(source->GetDataObject());
    std::vector<BYTE> bytes = Bytes(data, kServerItemsFormat);
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()));
    EXPECT_EQ((text.size() + 1) * 2, bytes.size());
    EXPECT_EQ(1, std::count(text.begin(), text.end(), L'\\'));
    EXPECT_NE(std::wstring::npos, text.find(L"|My Files/docs|C|SR\\F|321|"));

    std::vector<_PROTO_FOLDER_INFO> back;
    CString tag, path;
    UINT format = source->m_cfServerItems;
    ASSERT_EQ(1, GetFolderInfoListDataObject(&data, &format, back, tag, path));
    ASSERT_EQ(2u, back.size());
    EXPECT_STREQ(L"b.txt", back[1].Name);
    EXPECT_STREQ(L"SR", tag.GetString());
    std::vector<CString> paths;
    EXPECT_EQ(0, GetFileListDataObject(paths, &data)) << "server items carry no CF_HDROP";
}

TEST_F(DragDropTest, LocalFilesGoAsTheClipboardWritersBlock)
{
    std::vector<CString> paths = {L"C:\\a.txt", L"", L"C:\\폴더"};
    auto* source = new CDragDataSource;
    EXPECT_FALSE(source->CacheFileDrop({L""}));
    ASSERT_TRUE(source->CacheFileDrop(paths));
    COleDataObject data;
    data.Attach(source->GetDataObject());
    std::vector<BYTE> dragged = Bytes(data, nullptr);

    ASSERT_EQ(1, CopyFileListClipboard(paths, false));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL block = GetClipboardData(CF_HDROP);
    ASSERT_NE(nullptr, block);
    std::vector<BYTE> copied(GlobalSize(block));
    std::memcpy(copied.data(), GlobalLock(block), copied.size());
    GlobalUnlock(block);
    CloseClipboard();
    EXPECT_EQ(copied, dragged);
    std::vector<CString> back;
    ASSERT_EQ(1, GetFileListDataObject(back, &data));
    EXPECT_EQ(2u, back.size());
}

TEST_F(DragDropTest, ATargetShowsTheImageOnlyWhenBothImageFormatsCame)
{
    HIMAGELIST image = ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, 1, 1);
    HBITMAP bitmap = CreateBitmap(32, 32, 1, 32, nullptr);
    ImageList_AddMasked(image, bitmap, RGB(255, 0, 255));
    auto* source = new CDragDataSource;
    ASSERT_TRUE(source->CacheDragImage(image, 5, -3));
    COleDataObject data;
    data.Attach(source->GetDataObject());
    std::vector<BYTE> hot = Bytes(data, kDragHotSpotFormat);
    ASSERT_EQ(8u, hot.size());
    int32_t spot[2];
    std::memcpy(spot, hot.data(), 8);
    EXPECT_EQ(5, spot[0]);
    EXPECT_EQ(-3, spot[1]);

    CDragDropTarget target;
    target.LoadDragImage(&data);
    EXPECT_EQ(image, target.m_hDragImage);
    ImageList_EndDrag();

    auto* shellLike = new CDragDataSource;
    ASSERT_TRUE(shellLike->CacheFileDrop({L"C:\\x"}));
    COleDataObject plain;
    plain.Attach(shellLike->GetDataObject());
    target.LoadDragImage(&plain);
    EXPECT_EQ(nullptr, target.m_hDragImage);
    ImageList_Destroy(image);
    DeleteObject(bitmap);
}

TEST_F(DragDropTest, TheScrollBandLiesInsideTheEdgesBelowAListsHeader)
{
    RECT client = {0, 0, 200, 100};
    struct Case { int header; POINT point; UINT code; };
    const Case cases[] = {
        {0, {100, 50}, 0xFFFF},   {0, {100, 5}, 0x00FF},   {0, {100, 95}, 0x01FF},  {0, {5, 50}, 0xFF00},
        {0, {195, 50}, 0xFF01},   {0, {5, 5}, 0x0000},     {0, {195, 95}, 0x0101},  {0, {300, 50}, 0xFFFF},
        {20, {100, 25}, 0x00FF},  {20, {100, 10}, 0x00FF}, {20, {100, 35}, 0xFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.code, CDragDropTarget::ScrollDirectionFor(client, c.header, 11, c.point))
            << c.header << " " << c.point.x << "," << c.point.y;
}

TEST_F(DragDropTest, AScrollStepMovesOneLineUntilTheEnd)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"drag", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    CWnd list;
    ASSERT_TRUE(list.CreateEx(0, WC_LISTVIEWW, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 280, 150,
                              parent.GetSafeHwnd(), nullptr));
    LVCOLUMNW column = {LVCF_WIDTH, 0, 200};
    ::SendMessageW(list.GetSafeHwnd(), LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 40; ++i) {
        LVITEMW item = {LVIF_TEXT, i};
        item.pszText = const_cast<wchar_t*>(L"row");
        ::SendMessageW(list.GetSafeHwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    CDragDropTarget target;
    EXPECT_FALSE(target.DoDragScroll(&list, 0x00FF, false)) << "already at the top";
    EXPECT_FALSE(target.DoDragScroll(&list, 0xFFFF, false));
    ASSERT_TRUE(target.DoDragScroll(&list, 0x01FF, true));
    EXPECT_EQ(1, ::SendMessageW(list.GetSafeHwnd(), LVM_GETTOPINDEX, 0, 0));
    int steps = 0;
    while (target.DoDragScroll(&list, 0x01FF, true) && steps < 100)
        ++steps;
    EXPECT_LT(steps, 100);
    EXPECT_FALSE(target.DoDragScroll(&list, 0x01FF, false)) << "at the end";
    EXPECT_TRUE(target.DoDragScroll(&list, 0x00FF, false));
    parent.DestroyWindow();
}

// The three panes' looks from one drawing step: each masked by its own colour, the icon where
// its pane puts it (a solid blue icon, so its top-left pixel shows where it landed).
TEST(DragBubbleLooks, EachLookKeepsItsMaskAndItsIconPlace)
{
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, 32, 32), opaque = CreateBitmap(32, 32, 1, 1, nullptr);
    HDC paint = CreateCompatibleDC(screen);
    HGDIOBJ before = SelectObject(paint, colour);
    RECT square = {0, 0, 32, 32};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(paint, &square, blue);
    SelectObject(paint, opaque);
    FillRect(paint, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(paint, before);
    DeleteObject(blue);
    DeleteDC(paint);
    ICONINFO info = {TRUE, 0, 0, opaque, colour};
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(nullptr, icon);

    DragBubbleLook server;
    DragBubbleLook list;
    list.icon = {20, 20};
    list.keyedIcon = true;
    DragBubbleLook tree;
    tree.mask = RGB(192, 192, 192);
    tree.icon = {20, 13};
    tree.keyedIcon = true;
    const struct {
        const char* what;
        DragBubbleLook look;
        int count;
        POINT icon;
    } cases[] = {{"server list", server, 1, {20, 8}}, {"local list, two rows", list, 2, {20, 20}},
                 {"local tree", tree, 1, {20, 13}}};
    for (const auto& c : cases) {
        HIMAGELIST bubble = CreateDragBubble(nullptr, icon, L"name.txt", c.count, c.look);
        ASSERT_NE(nullptr, bubble) << c.what;
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP canvas = CreateCompatibleBitmap(screen, 78, 78);
        HGDIOBJ old = SelectObject(dc, canvas);
        RECT all = {0, 0, 78, 78};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ImageList_Draw(bubble, 0, dc, 0, 0, ILD_TRANSPARENT);
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 0, 71)) << c.what << ": the corner is not masked";
        EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, c.icon.x, c.icon.y)) << c.what << ": no icon at its place";
        EXPECT_EQ(RGB(222, 211, 215), GetPixel(dc, c.icon.x, c.icon.y - 1)) << c.what << ": icon above its place";
        SelectObject(dc, old);
        DeleteObject(canvas);
        DeleteDC(dc);
        ImageList_Destroy(bubble);
    }
    DestroyIcon(icon);
    DeleteObject(colour);
    DeleteObject(opaque);
    ReleaseDC(nullptr, screen);
}
