#pragma once

// Warm calls of Count, Name and Enabled from a C++ client in this process,
// QuillbarTuner's against the bare server's, both objects already created.

#include "BareTuner_h.h"
#include "QBSetup_h.h"
#include "TunerBenchSizes.h"

// Prints a figure per member; false when a call failed.
bool MeasureWarmCalls(IQuillbarTuner* tuner, IBareTuner* bare, const TunerBenchSizes& sizes);
