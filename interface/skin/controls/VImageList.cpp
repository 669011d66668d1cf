// CVImageList: building the shared lists and looking up system and reserved icons.
#include "VImageList.h"
#include "Resources.h"
#include "SkinRes.h"
#include <shellapi.h>
#include <algorithm>
#include <deque>
#include <mutex>
#include <utility>

namespace {
const UINT kReservedIds[CVImageList::kReserved] = {
    IDI_YELLOW_CLOSE, IDI_YELLOW_OPEN, IDI_YELLOW_SHARE_CLOSE, IDI_YELLOW_SHARE_OPEN,
    IDI_SHARE_YELLOW_CLOSE, IDI_SHARE_YELLOW_OPEN, IDI_GROUP_BLUE_CLOSE, IDI_GROUP_BLUE_OPEN,
    IDI_DOMAIN_BLUE_CLOSE, IDI_DOMAIN_BLUE_OPEN, IDI_BLUE_CLOSE, IDI_BLUE_OPEN,
    IDI_BLUE_SHARE_CLOSE, IDI_BLUE_SHARE_OPEN, IDI_GUEST_GREEN_CLOSE, IDI_GUEST_GREEN_OPEN,
    IDI_GREEN_CLOSE, IDI_GREEN_OPEN, IDI_RED_CLOSE, IDI_RED_OPEN,
    IDI_TRASH_YELLOW_CLOSE, IDI_TRASH_YELLOW_OPEN, IDI_TRASH_RED_CLOSE, IDI_TRASH_RED_OPEN,
    IDI_INDIVIDUAL_YELLOW_CLOSE, IDI_INDIVIDUAL_YELLOW_OPEN, IDI_PHOTO_YELLOW_CLOSE, IDI_PHOTO_YELLOW_OPEN,
    IDI_FILE_BOX_CLOSE, IDI_FILE_BOX_OPEN, IDI_MASTER_YELLOW_CLOSE, IDI_MASTER_YELLOW_OPEN,
    IDI_BACKUP_CLOSE, IDI_BACKUP_OPEN, IDI_PERSON, IDI_LOCK_OVERLAY,
};
const int kLockSlot = 35;

HIMAGELIST ShellList(UINT sizeFlag)
{
    SHFILEINFOW info = {};
    return (HIMAGELIST)::SHGetFileInfoW(L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                                        SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | sizeFlag);
}

// The reserved icons of one size, made once for the process into a list of their own: every
// list built later (the server tree's, the server list's, each dialog's) starts as a copy of
// it. Making 72 icons from the resources and putting them in one by one took most of a second
// at each log-in under load; a copy is one call. The lists live as long as the process.
struct ReservedSet {
    int cx = 0;
    int cy = 0;
    HINSTANCE module = nullptr;   // where the icons were found (a test may take the resources away)
    HIMAGELIST list = nullptr;
    bool placed[CVImageList::kReserved] = {};
};

const ReservedSet* ReservedSetFor(int cx, int cy)
{
    static std::mutex lock;
    static std::deque<ReservedSet> sets;
    std::lock_guard<std::mutex> guard(lock);
    const HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(kReservedIds[0]), RT_GROUP_ICON);
    for (const ReservedSet& set : sets)
        if (set.cx == cx && set.cy == cy && set.module == module)
            return &set;
    HIMAGELIST list = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, CVImageList::kReserved, 64);
    if (!list || !ImageList_SetImageCount(list, CVImageList::kReserved)) {
        if (list)
            ImageList_Destroy(list);
        return nullptr;
    }
    ReservedSet set;
    for (int slot = 0; slot < CVImageList::kReserved; ++slot) {
        LPCWSTR name = MAKEINTRESOURCEW(kReservedIds[slot]);
        HICON icon = (HICON)::LoadImageW(AfxFindResourceHandle(name, RT_GROUP_ICON), name, IMAGE_ICON, cx, cy, 0);
        if (!icon)
            continue;
        set.placed[slot] = ImageList_ReplaceIcon(list, slot, icon) == slot;
        ::DestroyIcon(icon);
    }
    set.cx = cx;
    set.cy = cy;
    set.module = module;
    set.list = list;
    sets.push_back(set);
    return &sets.back();
}

// A list of the system list's icon size that holds the reserved icons at their places. A
// system icon goes to its index plus the reserved places when it is first asked for
// (GetSysIcon): copying every icon the shell had met at once cost most of a second per list.
HIMAGELIST ShiftedCopy(HIMAGELIST system)
{
    if (system == nullptr)
        return nullptr;
    int cx = 0, cy = 0;
    if (!ImageList_GetIconSize(system, &cx, &cy) || cx <= 0 || cy <= 0)
        return nullptr;
    const ReservedSet* set = ReservedSetFor(cx, cy);
    return set ? ImageList_Duplicate(set->list) : nullptr;
}

struct ListPair {
    HIMAGELIST small;
    HIMAGELIST large;
    ~ListPair()
    {
        if (small)
            ImageList_Destroy(small);
        if (large)
            ImageList_Destroy(large);
    }
};
}

CVImageList::CVImageList()
{
    Build(ShellList(SHGFI_SMALLICON), ShellList(SHGFI_LARGEICON));
}

CVImageList::CVImageList(HIMAGELIST systemSmall, HIMAGELIST systemLarge)
{
    Build(systemSmall, systemLarge);
}

CVImageList::CVImageList(const CVImageList& other)
{
    *this = other;
}

CVImageList& CVImageList::operator=(const CVImageList& other)
{
    if (this == &other)
        return *this;
    m_bFallback = other.m_bFallback;
    m_hSysSmall = other.m_hSysSmall;
    m_hSysLarge = other.m_hSysLarge;
    m_hSmall = other.m_hSmall;
    m_hLarge = other.m_hLarge;
    m_owner = other.m_owner;
    m_smallCopied = other.m_smallCopied;
    m_largeCopied = other.m_largeCopied;
    for (int i = 0; i < kReserved; ++i)
        m_reserved[i] = other.m_reserved[i];
    return *this;
}

CVImageList::~CVImageList() = default;

void CVImageList::Build(HIMAGELIST systemSmall, HIMAGELIST systemLarge)
{
    m_smallCopied.reset();
    m_largeCopied.reset();
    for (int& r : m_reserved)
        r = -1;
    m_hSysSmall = systemSmall;
    m_hSysLarge = systemLarge;
    HIMAGELIST small = ShiftedCopy(systemSmall);
    if (small == nullptr) {
        EnterFallback();
        return;
    }
    HIMAGELIST large = ShiftedCopy(systemLarge);
    m_owner = std::shared_ptr<void>(new ListPair{ small, large }, [](void* p) { delete static_cast<ListPair*>(p); });
    m_hSmall = small;
    m_hLarge = large;
    LoadReservedIcons();
    // The shell's first two images serve as the overlays 1 and 2: they are there from the start.
    const std::pair<HIMAGELIST, HIMAGELIST> pairs[] = {{systemSmall, m_hSmall}, {systemLarge, m_hLarge}};
    for (const auto& pair : pairs) {
        if (!pair.first || !pair.second)
            continue;
        const int shared = std::min(2, ImageList_GetImageCount(pair.first));
        ImageList_SetImageCount(pair.second, kReserved + shared);
        for (int i = 0; i < shared; ++i) {
            HICON icon = ImageList_GetIcon(pair.first, i, ILD_NORMAL);
            if (icon && ImageList_ReplaceIcon(pair.second, kReserved + i, icon) == kReserved + i)
                (pair.second == m_hSmall ? m_smallCopied : m_largeCopied).set(kReserved + i);
            if (icon)
                ::DestroyIcon(icon);
        }
    }
    for (HIMAGELIST list : { m_hSmall, m_hLarge }) {
        if (list) {
            ImageList_SetOverlayImage(list, kReserved, 1);
            ImageList_SetOverlayImage(list, kReserved + 1, 2);
        }
    }
}

void CVImageList::EnterFallback()
{
    m_bFallback = true;
    m_owner.reset();
    m_hSmall = ShellList(SHGFI_SMALLICON);
    m_hLarge = ShellList(SHGFI_LARGEICON);
}

void CVImageList::LoadReservedIcons()
{
    // The lists were copied from the reserved sets: what was placed there is in both.
    int cx = 16, cy = 16;
    ImageList_GetIconSize(m_hSmall, &cx, &cy);
    const ReservedSet* set = ReservedSetFor(cx, cy);
    for (int slot = 0; slot < kReserved; ++slot)
        m_reserved[slot] = set && set->placed[slot] ? slot : -1;
    if (m_reserved[kLockSlot] >= 0 && ImageList_SetOverlayImage(m_hSmall, m_reserved[kLockSlot], kLockOverlay))
        m_reserved[kLockSlot] = kLockOverlay;
    else
        m_reserved[kLockSlot] = -1;
}

void CVImageList::PreloadReservedIcons()
{
    for (UINT size : {SHGFI_SMALLICON, SHGFI_LARGEICON}) {
        int cx = 0, cy = 0;
        HIMAGELIST system = ShellList(size);
        if (system && ImageList_GetIconSize(system, &cx, &cy) && cx > 0 && cy > 0)
            ReservedSetFor(cx, cy);
    }
}

UINT CVImageList::ReservedIconId(int slot)
{
    return (slot >= 0 && slot < kReserved) ? kReservedIds[slot] : 0;
}

int CVImageList::Reserved(int slot)
{
    if (m_bFallback || m_reserved[slot] < 0)
        return GetSysIcon(L"Desktop", true, false, false);
    return m_reserved[slot];
}

int CVImageList::GetLockOverlayMask()
{
    if (m_bFallback || m_reserved[kLockSlot] < 0)
        return 1;
    return kLockOverlay;
}

bool CVImageList::IsCopied(int position, bool small) const
{
    if (position < 0 || position >= kMaxSystemIcons)
        return false;
    return small ? m_smallCopied.test(position) : m_largeCopied.test(position);
}

int CVImageList::GetSysIcon(const wchar_t* path, bool open, bool, bool)
{
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | (open ? SHGFI_OPENICON : 0);
    SHFILEINFOW info = {};
    DWORD_PTR found = ::SHGetFileInfoW(path, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags | SHGFI_SMALLICON);
    const int index = info.iIcon;
    const int position = index + kReserved;
    if (found == 0 || index < 0 || m_bFallback || position >= kMaxSystemIcons) {
        if (info.hIcon)
            ::DestroyIcon(info.hIcon);
        return found == 0 ? -1 : index;
    }
    auto place = [position](HIMAGELIST list, HICON icon, std::bitset<kMaxSystemIcons>& copied) {
        if (list == nullptr || icon == nullptr)
            return;
        if (ImageList_GetImageCount(list) < position + 1)
            ImageList_SetImageCount(list, position + 1);
        if (!copied.test(position) && ImageList_ReplaceIcon(list, position, icon) == position)
            copied.set(position);
    };
    place(m_hSmall, info.hIcon, m_smallCopied);
    if (info.hIcon)
        ::DestroyIcon(info.hIcon);
    SHFILEINFOW largeInfo = {};
    ::SHGetFileInfoW(path, FILE_ATTRIBUTE_NORMAL, &largeInfo, sizeof(largeInfo), flags | SHGFI_LARGEICON);
    place(m_hLarge, largeInfo.hIcon, m_largeCopied);
    if (largeInfo.hIcon)
        ::DestroyIcon(largeInfo.hIcon);
    return position;
}
