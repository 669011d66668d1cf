// main() of every test program: plain GoogleTest, with output unbuffered so that a hang
// under Wine still shows how far the run came, and a fault ends the program at once with the
// test's name instead of leaving it in Wine's debugger until ctest's time-out.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>

namespace {

LONG WINAPI ReportFault(EXCEPTION_POINTERS* info)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    fprintf(stderr, "fault 0x%08lX in %s.%s\n",
            static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
            test ? test->test_suite_name() : "?", test ? test->name() : "?");
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ReportFault);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // The results are printed and every fixture is torn down: end here. Under Wine the process's
    // own ending (libraries' detach, sockets' cleanup) has twice not finished at a suite's start,
    // after "PASSED", and ctest then counted a passed program as timed out.
    fflush(stdout);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
    return result;
}
