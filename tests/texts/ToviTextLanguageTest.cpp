// Tests of the per-thread language of the text libraries.
#include "TextChecks.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include <utility>
#include <condition_variable>
#include <mutex>

using namespace textchecks;

namespace {

class ToviTextLanguageTest : public ThreadLanguageTest {};

// Lets a fixed number of threads wait until all of them have arrived.
class Gate {
public:
    explicit Gate(int count) : m_waiting(count) {}
    void ArriveAndWait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (--m_waiting == 0)
            m_allThere.notify_all();
        else
            m_allThere.wait(lock, [this] { return m_waiting == 0; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_allThere;
    int m_waiting;
};

struct Reader {
    LANGID language;
    const wchar_t* yes;    // interface text 14078
    const wchar_t* prompt; // message 12040
    int wrongTexts = 0;
    LANGID seen = 0;
};

TEST_F(ToviTextLanguageTest, TwoThreadsReadTextsInTheirOwnLanguagesAtTheSameTime)
{
    Reader readers[] = {
        {LANG_KOREAN, L"\uC608", L"\uC774\uB984\uC744 \uC785\uB825\uD558\uC138\uC694."},
        {LANG_JAPANESE, L"\u306F\u3044",
         L"\u540D\u524D\u3092\u5165\u529B\u3057\u3066\u304F\u3060\u3055\u3044\u3002"},
    };
    Gate bothChosen(2);
    auto read = [&bothChosen](Reader& r) {
        CToviTextLanguage::SetThreadLanguage(r.language);
        // Both languages are set before either thread reads, so each reads while the other's
        // choice stands.
        bothChosen.ArriveAndWait();
        for (int i = 0; i < 500; ++i) {
            if (CToviString::GetString(14078) != r.yes || CToviMsg::GetString(12040) != r.prompt)
                ++r.wrongTexts;
        }
        r.seen = CToviTextLanguage::GetThreadLanguage();
    };
    std::thread korean(read, std::ref(readers[0]));
    std::thread japanese(read, std::ref(readers[1]));
    korean.join();
    japanese.join();

    for (const Reader& r : readers) {
        EXPECT_EQ(0, r.wrongTexts) << "language 0x" << std::hex << r.language;
        EXPECT_EQ(r.language, r.seen);
    }
}

TEST_F(ToviTextLanguageTest, AThreadDoesNotTakeOverAnotherThreadsChoice)
{
    CToviTextLanguage::SetThreadLanguage(LANG_JAPANESE);
    const LANGID other = OnNewThread([] {
        SetThreadLocale(MAKELCID(MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT), SORT_DEFAULT));
        return CToviTextLanguage::GetThreadLanguage();
    });
    EXPECT_EQ(LANG_KOREAN, other);
    EXPECT_EQ(LANG_JAPANESE, CToviTextLanguage::GetThreadLanguage());
}

TEST_F(ToviTextLanguageTest, APrimaryOrAFullLanguageIdChoosesTheLanguage)
{
    const struct {
        LANGID given;
        LANGID expected;
    } rows[] = {
        {0x12, LANG_KOREAN},   {0x0412, LANG_KOREAN},   {0x09, LANG_ENGLISH},
        {0x0409, LANG_ENGLISH}, {0x0809, LANG_ENGLISH}, {0x11, LANG_JAPANESE}, {0x0411, LANG_JAPANESE},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(CToviTextLanguage::SetThreadLanguage(row.given)) << "0x" << std::hex << row.given;
        EXPECT_EQ(row.expected, CToviTextLanguage::GetThreadLanguage()) << "0x" << std::hex << row.given;
    }
}

TEST_F(ToviTextLanguageTest, AnotherLanguageIsRefusedAndTheChoiceStays)
{
    CToviTextLanguage::SetThreadLanguage(LANG_JAPANESE);
    EXPECT_FALSE(CToviTextLanguage::SetThreadLanguage(MAKELANGID(LANG_GERMAN, SUBLANG_DEFAULT)));
    EXPECT_FALSE(CToviTextLanguage::SetThreadLanguage(LANG_CHINESE));
    EXPECT_EQ(LANG_JAPANESE, CToviTextLanguage::GetThreadLanguage());
}

// A thread that applied its language as a thread locale, and chose nothing here, reads in it.
TEST_F(ToviTextLanguageTest, WithoutAChoiceTheThreadLocaleDecides)
{
    for (LANGID language : {LANG_KOREAN, LANG_JAPANESE}) {
        const LANGID seen = OnNewThread([language] {
            SetThreadLocale(MAKELCID(MAKELANGID(language, SUBLANG_DEFAULT), SORT_DEFAULT));
            return CToviTextLanguage::GetThreadLanguage();
        });
        EXPECT_EQ(language, seen);
    }
}

TEST_F(ToviTextLanguageTest, ZeroForgetsTheChoiceAndTheThreadFollowsItsLocaleAgain)
{
    const auto texts = OnNewThread([] {
        SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT));
        CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH);
        std::wstring chosen = CToviString::GetString(14079).GetString();
        CToviTextLanguage::SetThreadLanguage(0);
        std::wstring forgotten = CToviString::GetString(14079).GetString();
        return std::make_pair(chosen, forgotten);
    });
    EXPECT_EQ(std::wstring(L"No"), texts.first);
    EXPECT_EQ(std::wstring(L"\u3044\u3044\u3048"), texts.second);
}

TEST_F(ToviTextLanguageTest, BothLibrariesFollowTheSameChoice)
{
    CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH);
    EXPECT_STREQ(L"Yes", CToviString::GetString(14078).GetString());
    EXPECT_STREQ(L"Enter a name.", CToviMsg::GetString(12040).GetString());
    CToviTextLanguage::SetThreadLanguage(LANG_JAPANESE);
    EXPECT_STREQ(L"\u306F\u3044", CToviString::GetString(14078).GetString());
    EXPECT_STREQ(L"\u540D\u524D\u3092\u5165\u529B\u3057\u3066\u304F\u3060\u3055\u3044\u3002",
                 CToviMsg::GetString(12040).GetString());
}

} // namespace
