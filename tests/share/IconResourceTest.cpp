// Every icon the library and the program ask for by id is in the library's resources: a missing
// one leaves a button without its icon or a list row blank, and nothing else tells.
#include "VImageList.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <set>

namespace {

struct UsedIcon {
    unsigned id;
    const char* where;
};

const UsedIcon kUsedIcons[] =
#include "UsedIconIds.inc"
;

TEST(IconResources, EveryIconTheSourcesAskForLoadsInBothSizes)
{
    for (const UsedIcon& icon : kUsedIcons) {
        for (int size : {16, 32}) {
            HICON loaded = CVImageList::GetIcon(icon.id, size, size);
            EXPECT_NE(nullptr, loaded) << "icon " << icon.id << " at " << size << " px, asked for in " << icon.where;
        }
    }
}

TEST(IconResources, TheScanSeesTheButtonsAndTheSeveralItemsMark)
{
    std::set<unsigned> ids;
    for (const UsedIcon& icon : kUsedIcons)
        ids.insert(icon.id);
    // The sharing windows' buttons, the properties window's mark, the common OK and cancel.
    for (unsigned id : {524u, 525u, 526u, 527u, 528u, 529u, 605u})
        EXPECT_EQ(1u, ids.count(id)) << id;
    EXPECT_GT(ids.size(), 60u);
}

}
