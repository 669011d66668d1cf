// The server list's thumbnail pictures.
#include "ServerThumbnail.h"
#include "ThumbnailCache.h"
#include "VImageList.h"
#include <objbase.h>
#include <gdiplus.h>
#include <shellapi.h>
#include <cstring>
#include <memory>

namespace {

bool Is(const char* text, const char* value) { return std::strcmp(text, value) == 0; }

constexpr UINT kLockIcon = 0x22C;

void DrawIcon(Gdiplus::Graphics& g, HICON icon, int x, int y, bool centred, int boxW, int boxH)
{
    if (!icon)
        return;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(CVImageList::IconToAlphaBitmap(icon));
    if (!bitmap)
        return;
    int w = static_cast<int>(bitmap->GetWidth()), h = static_cast<int>(bitmap->GetHeight());
    if (centred) {
        x += (boxW - w) / 2;
        y += (boxH - h) / 2;
    }
    g.DrawImage(bitmap.get(), x, y, w, h);
}

}

RECT ThumbnailPlacement(int width, int height, int boxWidth, int boxHeight)
{
    RECT r = {};
    if (width <= 0 || height <= 0)
        return r;
    if (width <= boxWidth && height <= boxHeight) {
        r.left = (boxWidth - width) / 2;
        r.top = (boxHeight - height) / 2;
        r.right = r.left + width;
        r.bottom = r.top + height;
        return r;
    }
    float sx = static_cast<float>(boxWidth) / width, sy = static_cast<float>(boxHeight) / height;
    float scale = sx < sy ? sx : sy;
    float w = width * scale, h = height * scale;
    r.left = static_cast<int>((boxWidth - w) * 0.5f);
    r.top = static_cast<int>((boxHeight - h) * 0.5f);
    r.right = r.left + static_cast<int>(w);
    r.bottom = r.top + static_cast<int>(h);
    return r;
}

UINT ThumbnailFolderIcon(const _PROTO_FOLDER_INFO& r, const _PROTO_FOLDER_INFO* current, bool underRoot)
{
    const char* t = r.Attr27;
    if (Is(r.Attr178, "0")) {
        static const struct { const char* type; UINT id; } tops[] = {
            {"1", 0x22E}, {"A", 0x22E}, {"2", 0x230}, {"3", 0x234}, {"4", 0x236}, {"5", 0x238},
            {"6", 0x23C}, {"7", 0x23E}, {"8", 0x23A}, {"9", 0x246},
        };
        for (const auto& top : tops)
            if (Is(t, top.type))
                return top.id;
        return 0;
    }
    bool shared = Is(r.Attr29, "Y");
    const char* ct = current ? current->Attr27 : "";
    if (Is(t, "1") || Is(t, "A") || Is(t, "B")) {
        if (underRoot && Is(ct, "2"))
            return 0x230;
        return shared ? 0x257 : 0x22E;
    }
    if (Is(t, "3")) {
        if (!underRoot)
            return shared ? 0x259 : 0x232;
        if (Is(ct, "3"))
            return r.Attr231[6] == '1' ? 0x251 : (shared ? 0x259 : 0x234);
        return Is(ct, "4") ? 0x236 : 0;
    }
    if (Is(t, "5"))
        return underRoot ? 0x238 : 0x242;
    if (Is(t, "6"))
        return 0x22E;
    if (Is(t, "D"))
        return Is(r.IDX, "2") ? 0x240 : 0x244;
    return 0;
}

HBITMAP MakeThumbnail(const _PROTO_FOLDER_INFO& r, const _PROTO_FOLDER_INFO* current, bool underRoot,
                      const ThumbnailJob& job)
{
    const int w = job.width, h = job.height;
    Gdiplus::Bitmap canvas(w, h, PixelFormat32bppARGB);
    if (canvas.GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    {
        Gdiplus::Graphics g(&canvas);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        g.Clear(Gdiplus::Color(0xFFF7F7F7));
        bool locked = Is(r.Attr27, "A");
        if (Is(r.ItemType, "D")) {
            if (UINT id = ThumbnailFolderIcon(r, current, underRoot)) {
                HICON icon = CVImageList::GetIcon(id, 32, 32);
                DrawIcon(g, icon, 0, 0, true, w, h);
                if (locked)
                    DrawIcon(g, CVImageList::GetIcon(kLockIcon, 16, 16), 8, 8, true, w, h);
            }
        } else {
            if (QualifiesForThumbnail(r, job.imageExtensions)) {
                CString path;
                std::atomic<bool> never{false};
                ThumbnailFetch got = job.proto ? FetchThumbnail(*job.proto, job.progress, r, job.cacheDir,
                                                                job.stop ? *job.stop : never, path)
                                               : ThumbnailFetch::Failed;
                if (got == ThumbnailFetch::Reused || got == ThumbnailFetch::Fetched) {
                    std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromFile(path.GetString()));
                    if (picture && picture->GetLastStatus() == Gdiplus::Ok) {
                        RECT at = ThumbnailPlacement(static_cast<int>(picture->GetWidth()),
                                                     static_cast<int>(picture->GetHeight()), w, h);
                        g.DrawImage(picture.get(), static_cast<int>(at.left), static_cast<int>(at.top),
                                    static_cast<int>(at.right - at.left), static_cast<int>(at.bottom - at.top));
                    }
                }
            } else {
                SHFILEINFOW info = {};
                if (SHGetFileInfoW(r.Name, FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES) &&
                    info.hIcon) {
                    DrawIcon(g, info.hIcon, 0, 0, true, w, h);
                    DestroyIcon(info.hIcon);
                }
            }
            if (locked)
                DrawIcon(g, CVImageList::GetIcon(kLockIcon, 16, 16), 0, 0, false, w, h);
        }
        Gdiplus::Pen frame(Gdiplus::Color(0xFFDEDEDE), 1.0f);
        g.DrawRectangle(&frame, 0, 0, w - 1, h - 1);
    }
    HBITMAP bitmap = nullptr;
    if (canvas.GetHBITMAP(Gdiplus::Color(0xFFF7F7F7), &bitmap) != Gdiplus::Ok)
        return nullptr;
    return bitmap;
}
