// Run-time class information: kind checks along the base chain, dynamic creation and lookup
// by name.
#include "Framework.h"
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class CAnimal : public CObject {
    DECLARE_DYNAMIC(CAnimal)
};
IMPLEMENT_DYNAMIC(CAnimal, CObject)

class CDog : public CAnimal {
    DECLARE_DYNCREATE(CDog)
public:
    int m_legs = 4;
};
IMPLEMENT_DYNCREATE(CDog, CAnimal)

class CPuppy : public CDog {
    DECLARE_DYNCREATE(CPuppy)
};
IMPLEMENT_DYNCREATE(CPuppy, CDog)

class CCat : public CAnimal {
    DECLARE_DYNCREATE(CCat)
};
IMPLEMENT_DYNCREATE(CCat, CAnimal)

int g_brokenConstructions = 0;
class CBroken : public CObject {
    DECLARE_DYNCREATE(CBroken)
public:
    CBroken()
    {
        ++g_brokenConstructions;
        throw std::runtime_error("cannot build");
    }
};
IMPLEMENT_DYNCREATE(CBroken, CObject)

TEST(RuntimeClass, IsKindOfFollowsTheBaseChainOnly)
{
    CPuppy puppy;
    CCat cat;
    struct Row { const CObject* object; CRuntimeClass* cls; bool expected; const char* name; };
    const Row rows[] = {
        { &puppy, RUNTIME_CLASS(CPuppy), true, "puppy is a puppy" },
        { &puppy, RUNTIME_CLASS(CDog), true, "puppy is a dog" },
        { &puppy, RUNTIME_CLASS(CAnimal), true, "puppy is an animal" },
        { &puppy, RUNTIME_CLASS(CObject), true, "puppy is an object" },
        { &puppy, RUNTIME_CLASS(CCat), false, "puppy is not a cat" },
        { &cat, RUNTIME_CLASS(CDog), false, "cat is not a dog" },
        { &cat, RUNTIME_CLASS(CAnimal), true, "cat is an animal" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.object->IsKindOf(row.cls), row.expected) << row.name;
}

TEST(RuntimeClass, GetRuntimeClassNamesTheMostDerivedClass)
{
    CPuppy puppy;
    CDog& asDog = puppy;
    EXPECT_STREQ(asDog.GetRuntimeClass()->m_lpszClassName, "CPuppy");
    EXPECT_EQ(asDog.GetRuntimeClass()->GetBaseClass(), RUNTIME_CLASS(CDog));
    EXPECT_EQ(RUNTIME_CLASS(CObject)->GetBaseClass(), nullptr);
}

TEST(RuntimeClass, DynamicCreationBuildsTheNamedClass)
{
    CObject* object = RUNTIME_CLASS(CPuppy)->CreateObject();
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CPuppy)));
    EXPECT_EQ(static_cast<CDog*>(object)->m_legs, 4);
    delete object;
}

TEST(RuntimeClass, ClassesWithoutDynCreateCannotBeCreated)
{
    EXPECT_EQ(RUNTIME_CLASS(CAnimal)->CreateObject(), nullptr);
    EXPECT_EQ(RUNTIME_CLASS(CObject)->CreateObject(), nullptr);
}

TEST(RuntimeClass, AThrowingConstructorGivesNullInsteadOfAnException)
{
    g_brokenConstructions = 0;
    EXPECT_EQ(RUNTIME_CLASS(CBroken)->CreateObject(), nullptr);
    EXPECT_EQ(g_brokenConstructions, 1);
}

TEST(RuntimeClass, CreatableClassesAreFoundByName)
{
    EXPECT_EQ(CRuntimeClass::FromName("CCat"), RUNTIME_CLASS(CCat));
    EXPECT_EQ(CRuntimeClass::FromName("CAnimal"), nullptr);   // not creatable, not registered
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
}

TEST(RuntimeClass, DynamicDowncastChecksTheClass)
{
    CPuppy puppy;
    CCat cat;
    EXPECT_EQ(DYNAMIC_DOWNCAST(CDog, &puppy), &puppy);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CDog, &cat), nullptr);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CDog, static_cast<CObject*>(nullptr)), nullptr);
}

TEST(RuntimeClass, FrameworkClassesKnowTheirBases)
{
    EXPECT_TRUE(RUNTIME_CLASS(CDialog)->IsDerivedFrom(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(RUNTIME_CLASS(CWinApp)->IsDerivedFrom(RUNTIME_CLASS(CWinThread)));
    EXPECT_TRUE(RUNTIME_CLASS(CWinThread)->IsDerivedFrom(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(RUNTIME_CLASS(CWnd)->IsDerivedFrom(RUNTIME_CLASS(CWinThread)));
    CObject* wnd = RUNTIME_CLASS(CWnd)->CreateObject();   // CWnd is creatable
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(wnd->IsKindOf(RUNTIME_CLASS(CWnd)));
    delete wnd;
}

}
