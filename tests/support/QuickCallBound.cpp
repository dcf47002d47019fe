// Linked into test programs in place of the tuner's own bound on calls into
// other programs, so that a test of a program that stops answering waits
// seconds, not half a minute.

#include "OutgoingCallBound.h"
#include "QuickCallBound.h"

DWORD OutgoingCallBoundMs()
{
    return kQuickCallBoundMs;
}
