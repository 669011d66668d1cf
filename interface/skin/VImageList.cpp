// CVImageList: building the shared lists and looking up system and reserved icons.
#include "VImageList.h"
#include "Resources.h"
#include "SkinRes.h"
#include <shellapi.h>

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

// The system list with every image moved up by the reserved places.
HIMAGELIST ShiftedCopy(HIMAGELIST system)
{
    if (system == nullptr)
        return nullptr;
    HIMAGELIST copy = ImageList_Duplicate(system);
    if (copy == nullptr)
        return nullptr;
    const int count = ImageList_GetImageCount(system);
    if (!ImageList_SetImageCount(copy, count + CVImageList::kReserved)) {
        ImageList_Destroy(copy);
        return nullptr;
    }
    for (int i = count - 1; i >= 0; --i) {
        HICON icon = ImageList_GetIcon(system, i, ILD_NORMAL);
        if (icon) {
            ImageList_ReplaceIcon(copy, i + CVImageList::kReserved, icon);
            ::DestroyIcon(icon);
        }
    }
    return copy;
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
    int smallCx = 16, smallCy = 16, largeCx = 32, largeCy = 32;
    ImageList_GetIconSize(m_hSmall, &smallCx, &smallCy);
    if (m_hLarge)
        ImageList_GetIconSize(m_hLarge, &largeCx, &largeCy);
    for (int slot = 0; slot < kReserved; ++slot) {
        LPCWSTR name = MAKEINTRESOURCEW(kReservedIds[slot]);
        HINSTANCE module = AfxFindResourceHandle(name, RT_GROUP_ICON);
        HICON small = (HICON)::LoadImageW(module, name, IMAGE_ICON, smallCx, smallCy, 0);
        if (small == nullptr)
            continue;
        m_reserved[slot] = ImageList_ReplaceIcon(m_hSmall, slot, small);
        ::DestroyIcon(small);
        if (m_hLarge) {
            HICON large = (HICON)::LoadImageW(module, name, IMAGE_ICON, largeCx, largeCy, 0);
            if (large) {
                ImageList_ReplaceIcon(m_hLarge, slot, large);
                ::DestroyIcon(large);
            }
        }
    }
    if (m_reserved[kLockSlot] >= 0 && ImageList_SetOverlayImage(m_hSmall, m_reserved[kLockSlot], kLockOverlay))
        m_reserved[kLockSlot] = kLockOverlay;
    else
        m_reserved[kLockSlot] = -1;
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
