// Drag-and-drop data and drop targets: what a data source offers reads back through a data
// object; a registered target gets enter, over and drop from OLE with the right effects.
#include "Framework.h"
#include "OleDataObject.h"
#include "OleDataSource.h"
#include "OleDropSource.h"
#include "OleDropTarget.h"
#include "UiThread.h"
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

HGLOBAL GlobalWith(const void* data, size_t size)
{
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    void* p = ::GlobalLock(h);
    memcpy(p, data, size);
    ::GlobalUnlock(h);
    return h;
}

std::string GlobalBytes(HGLOBAL h)
{
    std::string bytes((size_t)::GlobalSize(h), '\0');
    const void* p = ::GlobalLock(h);
    memcpy(&bytes[0], p, bytes.size());
    ::GlobalUnlock(h);
    return bytes;
}

// A data source that tells when it is deleted.
class CountedSource : public COleDataSource {
public:
    explicit CountedSource(bool* deleted) : m_deleted(deleted) { *m_deleted = false; }
    ~CountedSource() override { *m_deleted = true; }
private:
    bool* m_deleted;
};

class OleDragDrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        bool ok = false;
        ui.Run([&] { ok = SUCCEEDED(::OleInitialize(nullptr)); });
        ASSERT_TRUE(ok);
        hotspot = (CLIPFORMAT)::RegisterClipboardFormatW(L"DRAG IMAGE HOT SPOT");
    }
    void TearDown() override
    {
        ui.Run([] { ::OleUninitialize(); });
    }
    uitest::UiThread ui;
    CLIPFORMAT hotspot = 0;
};

TEST_F(OleDragDrop, CachedFormatsReadBackThroughADataObject)
{
    ui.Run([&] {
        bool deleted = false;
        auto* source = new CountedSource(&deleted);
        const wchar_t text[] = L"C:\\a.txt";
        const int32_t spot[2] = { 36, 62 };
        source->CacheGlobalData(CF_UNICODETEXT, GlobalWith(text, sizeof(text)));
        source->CacheGlobalData(hotspot, GlobalWith(spot, sizeof(spot)));

        COleDataObject data;
        data.Attach(source->GetDataObject());
        EXPECT_TRUE(data.IsDataAvailable(CF_UNICODETEXT));
        EXPECT_TRUE(data.IsDataAvailable(hotspot));
        EXPECT_FALSE(data.IsDataAvailable(CF_HDROP));

        // Each read is the reader's own copy: freeing it leaves the source's block intact.
        for (int round = 0; round < 2; ++round) {
            HGLOBAL h = data.GetGlobalData(hotspot);
            ASSERT_NE(nullptr, h);
            EXPECT_EQ(std::string((const char*)spot, sizeof(spot)), GlobalBytes(h).substr(0, sizeof(spot)));
            ::GlobalFree(h);
        }
        STGMEDIUM medium = {};
        ASSERT_TRUE(data.GetData(CF_UNICODETEXT, &medium));
        EXPECT_EQ((DWORD)TYMED_HGLOBAL, medium.tymed);
        EXPECT_STREQ(text, (const wchar_t*)::GlobalLock(medium.hGlobal));
        ::GlobalUnlock(medium.hGlobal);
        ::ReleaseStgMedium(&medium);
        EXPECT_EQ(nullptr, data.GetGlobalData(CF_HDROP));

        std::vector<CLIPFORMAT> listed;
        FORMATETC f;
        data.BeginEnumFormats();
        while (data.GetNextFormat(&f))
            listed.push_back(f.cfFormat);
        EXPECT_EQ((std::vector<CLIPFORMAT>{ CF_UNICODETEXT, hotspot }), listed);

        EXPECT_FALSE(deleted);
        data.Release();   // the last reference
        EXPECT_TRUE(deleted);
    });
}

TEST_F(OleDragDrop, ADataSourceOutlivesItsCreatorWhileSomeoneHoldsIt)
{
    ui.Run([&] {
        bool deleted = false;
        IDataObject* held = nullptr;
        {
            auto* source = new CountedSource(&deleted);
            const char bytes[] = "VARIRUDAD";
            source->CacheGlobalData(CF_TEXT, GlobalWith(bytes, sizeof(bytes)));
            held = source->GetDataObject();   // a target in another program keeps it
        }                                      // the pane forgot its pointer
        FORMATETC f = { CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
        STGMEDIUM m = {};
        EXPECT_EQ(S_OK, held->GetData(&f, &m));
        ::ReleaseStgMedium(&m);
        EXPECT_FALSE(deleted);
        held->Release();
        EXPECT_TRUE(deleted);
    });
}

TEST_F(OleDragDrop, ATargetsNoteIsKeptAndServed)
{
    ui.Run([&] {
        bool deleted = false;
        auto* source = new CountedSource(&deleted);
        IDataObject* obj = source->GetDataObject();
        CLIPFORMAT performed = (CLIPFORMAT)::RegisterClipboardFormatW(CFSTR_PERFORMEDDROPEFFECT);
        DWORD effect = DROPEFFECT_MOVE;
        FORMATETC f = { performed, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
        STGMEDIUM m = {};
        m.tymed = TYMED_HGLOBAL;
        m.hGlobal = GlobalWith(&effect, sizeof(effect));
        EXPECT_EQ(S_OK, obj->SetData(&f, &m, TRUE));
        COleDataObject data;
        obj->AddRef();
        data.Attach(obj);
        HGLOBAL h = data.GetGlobalData(performed);
        ASSERT_NE(nullptr, h);
        EXPECT_EQ((DWORD)DROPEFFECT_MOVE, *(DWORD*)::GlobalLock(h));
        ::GlobalUnlock(h);
        ::GlobalFree(h);
        data.Release();
        obj->Release();
        EXPECT_TRUE(deleted);
    });
}

// A target that records the calls it gets and answers by the keys, as the panes do.
class RecordingTarget : public COleDropTarget {
public:
    struct Call {
        std::string what;
        DWORD keys;
        CPoint point;
        DROPEFFECT effect;
    };
    std::vector<Call> calls;
    std::wstring dropped;
    DROPEFFECT wanted = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* data, DWORD keys, CPoint point) override
    {
        DROPEFFECT e = data->IsDataAvailable(CF_UNICODETEXT) ? EffectFromKeys(keys, wanted & m_dropEffectAllowed) : DROPEFFECT_NONE;
        calls.push_back({ "enter", keys, point, e });
        return e;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* data, DWORD keys, CPoint point) override
    {
        DROPEFFECT e = data->IsDataAvailable(CF_UNICODETEXT) ? EffectFromKeys(keys, wanted & m_dropEffectAllowed) : DROPEFFECT_NONE;
        calls.push_back({ "over", keys, point, e });
        return e;
    }
    BOOL OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint point) override
    {
        HGLOBAL h = data->GetGlobalData(CF_UNICODETEXT);
        if (h) {
            dropped = (const wchar_t*)::GlobalLock(h);
            ::GlobalUnlock(h);
            ::GlobalFree(h);
        }
        calls.push_back({ "drop", 0, point, effect });
        return h != nullptr;
    }
    void OnDragLeave(CWnd*) override { calls.push_back({ "leave", 0, CPoint(), DROPEFFECT_NONE }); }
    bool HoldsDrag() const { return m_lpDataObject != nullptr; }
};

struct TargetWindow {
    CWnd wnd;
    RecordingTarget target;
    bool Create()
    {
        if (!wnd.CreateEx(0, nullptr, L"drop here", WS_POPUP | WS_VISIBLE, 200, 150, 300, 200, nullptr, nullptr))
            return false;
        return target.Register(&wnd) != FALSE;
    }
    ~TargetWindow()
    {
        target.Revoke();
        if (wnd.m_hWnd)
            wnd.DestroyWindow();
    }
};

IDataObject* TextData(bool* deleted, const wchar_t* text)
{
    auto* source = new CountedSource(deleted);
    source->CacheGlobalData(CF_UNICODETEXT, GlobalWith(text, (wcslen(text) + 1) * sizeof(wchar_t)));
    return source->GetDataObject();
}

TEST_F(OleDragDrop, TheTargetAnswersEachKeyStateWithItsEffect)
{
    struct Row {
        DWORD keys;
        DWORD allowed;
        DROPEFFECT expected;
    } rows[] = {
        { MK_LBUTTON, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE },
        { MK_LBUTTON | MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY },
        { MK_LBUTTON | MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_LINK },
        // Link is not allowed by the source: the target's answer is filtered out.
        { MK_LBUTTON | MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_NONE },
        // A source that allows only copying gets a copy without Ctrl.
        { MK_LBUTTON, DROPEFFECT_COPY, DROPEFFECT_COPY },
    };
    ui.Run([&] {
        TargetWindow t;
        ASSERT_TRUE(t.Create());
        IDropTarget* drop = t.target.GetInterface();
        for (const Row& row : rows) {
            bool deleted = false;
            IDataObject* data = TextData(&deleted, L"x");
            POINTL pt = { 250, 200 };
            DWORD effect = row.allowed;
            EXPECT_EQ(S_OK, drop->DragEnter(data, row.keys, pt, &effect));
            EXPECT_EQ(row.expected, effect) << "enter, keys " << row.keys << " allowed " << row.allowed;
            effect = row.allowed;
            EXPECT_EQ(S_OK, drop->DragOver(row.keys, pt, &effect));
            EXPECT_EQ(row.expected, effect) << "over, keys " << row.keys << " allowed " << row.allowed;
            EXPECT_EQ(S_OK, drop->DragLeave());
            EXPECT_FALSE(t.target.HoldsDrag());
            data->Release();
            EXPECT_TRUE(deleted) << "the target let go of the data after leave";
        }
        ASSERT_FALSE(t.target.calls.empty());
        EXPECT_EQ(CPoint(50, 50), t.target.calls[0].point) << "points arrive in client coordinates";
    });
}

TEST_F(OleDragDrop, ADropPerformsTheEffectShownLastAndReadsTheData)
{
    ui.Run([&] {
        TargetWindow t;
        ASSERT_TRUE(t.Create());
        IDropTarget* drop = t.target.GetInterface();
        bool deleted = false;
        IDataObject* data = TextData(&deleted, L"C:\\dropped.txt");
        POINTL pt = { 260, 210 };
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        drop->DragEnter(data, MK_LBUTTON, pt, &effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        drop->DragOver(MK_LBUTTON | MK_CONTROL, pt, &effect);
        EXPECT_EQ((DWORD)DROPEFFECT_COPY, effect);
        // The button is up at the drop: the effect is the one shown last, not a move.
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(S_OK, drop->Drop(data, 0, pt, &effect));
        EXPECT_EQ((DWORD)DROPEFFECT_COPY, effect);
        EXPECT_EQ(L"C:\\dropped.txt", t.target.dropped);
        ASSERT_EQ("drop", t.target.calls.back().what);
        EXPECT_EQ((DROPEFFECT)DROPEFFECT_COPY, t.target.calls.back().effect);
        EXPECT_FALSE(t.target.HoldsDrag());
        data->Release();
        EXPECT_TRUE(deleted);
    });
}

TEST_F(OleDragDrop, AnUnacceptedDropCallsNoDropHandler)
{
    ui.Run([&] {
        TargetWindow t;
        ASSERT_TRUE(t.Create());
        IDropTarget* drop = t.target.GetInterface();
        bool deleted = false;
        auto* source = new CountedSource(&deleted);
        const char bytes[] = "not text";
        source->CacheGlobalData(CF_TEXT, GlobalWith(bytes, sizeof(bytes)));
        IDataObject* data = source->GetDataObject();
        POINTL pt = { 260, 210 };
        DWORD effect = DROPEFFECT_COPY;
        drop->DragEnter(data, MK_LBUTTON, pt, &effect);
        EXPECT_EQ((DWORD)DROPEFFECT_NONE, effect);
        effect = DROPEFFECT_COPY;
        drop->Drop(data, 0, pt, &effect);
        EXPECT_EQ((DWORD)DROPEFFECT_NONE, effect);
        EXPECT_NE("drop", t.target.calls.back().what);
        data->Release();
        EXPECT_TRUE(deleted);
    });
}

// Ends the drag with a drop after OLE asked a few times, without a real mouse button.
class ScriptedDropSource : public COleDropSource {
public:
    int asked = 0;
    SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD) override
    {
        if (bEscapePressed)
            return DRAGDROP_S_CANCEL;
        return ++asked >= 4 ? DRAGDROP_S_DROP : S_OK;
    }
};

TEST_F(OleDragDrop, ARealDragLoopDeliversEnterOverAndDropToARegisteredWindow)
{
    ui.Run([&] {
        TargetWindow t;
        ASSERT_TRUE(t.Create());
        ::UpdateWindow(t.wnd.m_hWnd);
        ::SetCursorPos(350, 250);   // over the target window
        bool deleted = false;
        auto* source = new CountedSource(&deleted);
        const wchar_t text[] = L"from the loop";
        source->CacheGlobalData(CF_UNICODETEXT, GlobalWith(text, sizeof(text)));
        ScriptedDropSource dropSource;
        DROPEFFECT result = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, &dropSource);
        // The source was handed over to OLE: with the drag over, nobody holds it.
        EXPECT_TRUE(deleted);
        std::string seen;
        for (const auto& c : t.target.calls)
            seen += c.what + " ";
        EXPECT_EQ((DROPEFFECT)DROPEFFECT_MOVE, result) << seen;
        ASSERT_GE(t.target.calls.size(), 2u) << seen;
        EXPECT_EQ("enter", t.target.calls.front().what) << seen;
        EXPECT_EQ("drop", t.target.calls.back().what) << seen;
        EXPECT_EQ(L"from the loop", t.target.dropped);
        EXPECT_EQ(CPoint(150, 100), t.target.calls.front().point) << seen;
    }, 20000);
}

TEST_F(OleDragDrop, EscapeCancelsAndTheSourceDropsWhenItsButtonIsReleased)
{
    COleDropSource source;
    source.m_dwButtonDrop = MK_LBUTTON;
    EXPECT_EQ(DRAGDROP_S_CANCEL, source.QueryContinueDrag(TRUE, MK_LBUTTON));
    EXPECT_EQ(S_OK, source.QueryContinueDrag(FALSE, MK_LBUTTON));
    EXPECT_EQ(DRAGDROP_S_DROP, source.QueryContinueDrag(FALSE, 0));
    EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, source.GiveFeedback(DROPEFFECT_COPY));
    source.m_dwButtonDrop = MK_RBUTTON;
    EXPECT_EQ(S_OK, source.QueryContinueDrag(FALSE, MK_RBUTTON | MK_CONTROL));
    EXPECT_EQ(DRAGDROP_S_DROP, source.QueryContinueDrag(FALSE, MK_CONTROL));
}

// Scrolls while the pointer is in the top band of its window, as the panes' targets do.
class ScrollingTarget : public RecordingTarget {
public:
    int scrolled = 0;
    DROPEFFECT OnDragScroll(CWnd*, DWORD keys, CPoint point) override
    {
        if (point.y >= GetScrollInset())
            return DROPEFFECT_NONE;
        ++scrolled;
        return DROPEFFECT_SCROLL | EffectFromKeys(keys, m_dropEffectAllowed);
    }
};

TEST_F(OleDragDrop, WhileTheTargetScrollsItsDragOverIsNotAsked)
{
    ui.Run([&] {
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"scroll", WS_POPUP | WS_VISIBLE, 200, 150, 300, 200, nullptr, nullptr));
        ScrollingTarget target;
        ASSERT_TRUE(target.Register(&wnd));
        IDropTarget* drop = target.GetInterface();
        bool deleted = false;
        IDataObject* data = TextData(&deleted, L"x");
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        POINTL inBand = { 250, 152 }, below = { 250, 250 };
        drop->DragEnter(data, MK_LBUTTON, below, &effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        drop->DragOver(MK_LBUTTON | MK_CONTROL, inBand, &effect);
        EXPECT_EQ((DWORD)(DROPEFFECT_SCROLL | DROPEFFECT_COPY), effect);
        EXPECT_EQ(1, target.scrolled);
        EXPECT_EQ("enter", target.calls.back().what) << "no drag-over while scrolling";
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        drop->DragOver(MK_LBUTTON, below, &effect);
        EXPECT_EQ((DWORD)DROPEFFECT_MOVE, effect);
        EXPECT_EQ("over", target.calls.back().what);
        drop->DragLeave();
        data->Release();
        EXPECT_TRUE(deleted);
        EXPECT_EQ(DD_DEFSCROLLINSET, COleDropTarget::GetScrollInset());
        target.Revoke();
        wnd.DestroyWindow();
    });
}

TEST_F(OleDragDrop, ATargetRegistersOnceAndRevokesCleanly)
{
    ui.Run([&] {
        TargetWindow t;
        ASSERT_TRUE(t.Create());
        RecordingTarget second;
        EXPECT_FALSE(second.Register(&t.wnd)) << "a window has one drop target";
        t.target.Revoke();
        EXPECT_EQ(nullptr, t.target.GetRegisteredWindow());
        EXPECT_TRUE(second.Register(&t.wnd));
        second.Revoke();
    });
}

}
