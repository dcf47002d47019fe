#include "OutgoingCallBound.h"

// Alone in its file: a program may be linked with another bound in its place.
DWORD OutgoingCallBoundMs()
{
    return kOutgoingCallBoundMs;
}
