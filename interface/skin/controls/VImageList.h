// CVImageList: the small and large image lists of every tree and list control: copies of the
// system's file-icon lists moved up by 36 places, under which sit the service's own folder
// icons (reserved positions 0 to 35); plus icon helpers (grey copies, alpha bitmaps).
//
// One instance per user of the lists, on one thread. Positions of system icons stay valid for
// the instance's life. Copies share the lists: the last one to go destroys them.
#pragma once
#include "ToviInterfaceApi.h"
#include <windows.h>
#include <commctrl.h>
#include <bitset>
#include <memory>

namespace Gdiplus {
class Bitmap;
}

class TOVIINTERFACE_API CVImageList {
public:
    enum : int {
        kReserved = 36,
        kMaxSystemIcons = 32768,
        // Overlay numbers: system overlays 1 and 2, the lock 4.
        kLockOverlay = 4,
    };

    // Builds over the shell's system image lists.
    CVImageList();
    // Builds over the given system lists (not owned). A null small list cannot be copied: the
    // instance then works in fallback mode on the shell's lists as they are.
    CVImageList(HIMAGELIST systemSmall, HIMAGELIST systemLarge);
    CVImageList(const CVImageList& other);
    CVImageList& operator=(const CVImageList& other);
    ~CVImageList();

    HIMAGELIST GetSmallImageList() const { return m_hSmall; }
    HIMAGELIST GetNormalImageList() const { return m_hLarge; }
    bool IsFallback() const { return m_bFallback; }

    // Reserved folder icons: their list position, or the generic "Desktop" icon's position
    // when the icon did not load or in fallback mode.
    int GetYellowClose() { return Reserved(0); }
    int GetYellowOpen() { return Reserved(1); }
    int GetYellowShareClose() { return Reserved(2); }
    int GetYellowShareOpen() { return Reserved(3); }
    int GetShareYellowClose() { return Reserved(4); }
    int GetShareYellowOpen() { return Reserved(5); }
    int GetGroupBlueClose() { return Reserved(6); }
    int GetGroupBlueOpen() { return Reserved(7); }
    int GetDomainBlueClose() { return Reserved(8); }
    int GetDomainBlueOpen() { return Reserved(9); }
    int GetBlueClose() { return Reserved(10); }
    int GetBlueOpen() { return Reserved(11); }
    int GetBlueShareClose() { return Reserved(12); }
    int GetBlueShareOpen() { return Reserved(13); }
    int GetGuestGreenClose() { return Reserved(14); }
    int GetGuestGreenOpen() { return Reserved(15); }
    int GetGreenClose() { return Reserved(16); }
    int GetGreenOpen() { return Reserved(17); }
    int GetRedClose() { return Reserved(18); }
    int GetRedOpen() { return Reserved(19); }
    int GetTrashYellowClose() { return Reserved(20); }
    int GetTrashYellowOpen() { return Reserved(21); }
    int GetTrashRedClose() { return Reserved(22); }
    int GetTrashRedOpen() { return Reserved(23); }
    int GetIndividualYellowClose() { return Reserved(24); }
    int GetIndividualYellowOpen() { return Reserved(25); }
    int GetPhotoYellowClose() { return Reserved(26); }
    int GetPhotoYellowOpen() { return Reserved(27); }
    int GetFileBoxClose() { return Reserved(28); }
    int GetFileBoxOpen() { return Reserved(29); }
    int GetMasterYellowClose() { return Reserved(30); }
    int GetMasterYellowOpen() { return Reserved(31); }
    int GetBackupClose() { return Reserved(32); }
    int GetBackupOpen() { return Reserved(33); }
    int GetPerson() { return Reserved(34); }
    // The overlay number of the lock: 4, or 1 when it did not load or in fallback mode.
    int GetLockOverlayMask();

    // The list position of the system icon for path (copied into both lists on first use);
    // in fallback mode the shell's own index. Negative when the shell has no icon for it.
    // The last two flags are not used.
    int GetSysIcon(const wchar_t* path, bool open, bool unused1, bool unused2);
    // Whether position p of the small (or large) list holds its system icon already.
    bool IsCopied(int position, bool small) const;

    // The resource id of each reserved slot.
    static UINT ReservedIconId(int slot);
    // Loads the reserved icons at the shell's two icon sizes into the process-wide store that
    // every list takes them from; any thread, any time (a start-up thread calls it so that the
    // first list after the log-in need not wait for them).
    static void PreloadReservedIcons();
    // An icon resource of the interface library at cx x cy (shared: never destroy it).
    static HICON GetIcon(UINT id, int cx, int cy);
    // A grey copy (every non-black pixel to 0.299 R + 0.587 G + 0.114 B, alpha kept) with the
    // icon's own mask; the caller destroys it. Null when the icon cannot be read.
    static HICON CreateGrayscaleIcon(HICON icon);
    // The grey value of one colour.
    static BYTE GrayOf(BYTE red, BYTE green, BYTE blue);
    // A GDI+ bitmap of the icon that keeps its alpha channel: over the colour bitmap's pixels
    // when any of them has alpha, else made from the icon itself. The caller deletes it; null
    // when the icon cannot be read.
    static Gdiplus::Bitmap* IconToAlphaBitmap(HICON icon);
    // The DefaultIcon of a file class: HKEY_CLASSES_ROOT\key names the class, whose
    // DefaultIcon value is "file,index". The caller destroys it; null when anything is missing.
    static HICON GetIconFromRegistry(const wchar_t* key, bool large);

private:
    int Reserved(int slot);
    void Build(HIMAGELIST systemSmall, HIMAGELIST systemLarge);
    void LoadReservedIcons();
    void EnterFallback();

    bool m_bFallback = false;
    HIMAGELIST m_hSysSmall = nullptr;
    HIMAGELIST m_hSysLarge = nullptr;
    HIMAGELIST m_hSmall = nullptr;
    HIMAGELIST m_hLarge = nullptr;
    std::shared_ptr<void> m_owner;   // destroys the two copies with the last instance using them
    std::bitset<kMaxSystemIcons> m_smallCopied;
    std::bitset<kMaxSystemIcons> m_largeCopied;
    int m_reserved[kReserved];
};
