#include "BusyState.h"

namespace busy {

namespace {

// Per thread: a single-threaded apartment is re-entered only on its own thread.
thread_local bool running = false;

}  // namespace

bool IsBusy()
{
    return running;
}

Operation::Operation() : started_(!running)
{
    running = true;
}

Operation::~Operation()
{
    if (started_)
        running = false;
}

}  // namespace busy
