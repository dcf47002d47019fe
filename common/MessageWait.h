#pragma once

// Waiting on a thread that must go on handling its messages while it waits:
// a single-threaded apartment (incoming calls arrive as messages), a thread
// with windows (a dialog, a registered message from another program).

#include <windows.h>

// Handles the messages waiting for the calling thread now, translated and
// dispatched as a modal loop does. False when the quit message came: it is
// posted again, for the loop it was meant for, and the rest stays waiting.
bool HandleWaitingMessages();

// Waits `milliseconds`, handling the thread's messages meanwhile. Ends early,
// false, when the quit message came.
bool WaitHandlingMessages(DWORD milliseconds);
