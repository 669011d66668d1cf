// The dialog tests' shared fixture: the interface library started, a UI thread that shows the
// dialogs in a chosen language, and the test server's ports for the dialogs that talk to it.
#pragma once
#include "ProtoServer.h"
#include "UiThread.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

namespace dialogstest {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Texts of the dialogs shown from now on: LANG_KOREAN or LANG_ENGLISH.
    void UseLanguage(LANGID language);

    uitest::UiThread ui;
};

// The ports that this folder's server fixture wrote under the build root.
bool ReadDialogsServerPorts(protoserver::Ports& ports);

// The scratch folder for this program's screenshots.
std::wstring ShotDir(const wchar_t* program);

}
