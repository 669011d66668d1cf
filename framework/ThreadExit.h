// Per-thread clean-up for framework code that keeps per-thread tables (framework-internal).
//
// Function-local thread_local objects with destructors inside templates hang the process at
// thread exit with this toolchain (emutls); keep a thread_local pointer instead and register
// its release here. Callbacks run on the ending thread, last registered first, when
// Framework.dll sees the thread end (also for threads the framework did not start).
#pragma once

void FwAtThreadExit(void (*fn)(void* arg), void* arg);
