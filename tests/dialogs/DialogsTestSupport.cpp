// The dialog tests' shared fixture.
#include "DialogsTestSupport.h"
#include "Framework.h"
#include "Library.h"
#include "TestPaths.h"
#include "ToviTextLanguage.h"
#include <cstdio>

namespace dialogstest {

void DialogTest::SetUp()
{
    ASSERT_TRUE(ToviInterfaceInit());
    ui.SetPreTranslate(&AfxPreTranslateMessage);
    UseLanguage(LANG_ENGLISH);
}

void DialogTest::TearDown()
{
    ToviInterfaceTerm();
}

void DialogTest::UseLanguage(LANGID language)
{
    ui.Run([language] { CToviTextLanguage::SetThreadLanguage(language); });
}

bool ReadDialogsServerPorts(protoserver::Ports& ports)
{
    FILE* file = _wfopen(L"T:\\dialogs-server\\ports", L"r");
    if (!file)
        return false;
    int n = fscanf(file, "%d %d", &ports.port, &ports.control);
    fclose(file);
    return n == 2;
}

std::wstring ShotDir(const wchar_t* program)
{
    return testpaths::ScratchDir(program);
}

}
