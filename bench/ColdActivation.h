#pragma once

// QuillbarTuner's cold activation against the bare server's: each round
// starts with no process of the server running and ends once it is gone.

#include "TunerBenchSizes.h"

// Prints the figures; false when a server did not start or answer.
bool MeasureColdActivation(const TunerBenchSizes& sizes);
