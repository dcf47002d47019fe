#pragma once

#include <windows.h>

// The registered window message "SCRIBO_GO_HOME": whoever sends it closes an
// open setup dialog. Registered when the program starts, before main runs.
extern const UINT kScriboGoHome;
