// The debug trace sender: hands formatted lines to the "Ferrow Log" viewer window when one is
// open. Every deliverable links its own copy; it is never exported.
#pragma once

// Trace levels in use: 1 information (also a request sent), 2 a notable decision, 1024 a
// milestone or summary (also a reply received), 2048 an error. The viewer gets the level as is.
//
// printf-style wide format in the Windows CRT's meaning (%s is a wide string, %S a narrow one).
// Callable from any thread; it blocks until the viewer has taken the line, or for at most two
// seconds when the viewer does not take it (a hung viewer never hangs the caller). Without a viewer it
// costs one window lookup and formats nothing. Always returns 0.
int TraceLog(int level, const wchar_t* format, ...);
