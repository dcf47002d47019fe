#pragma once

#include "OfficeState.h"

#include <windows.h>

namespace standin {

// Reads a bitmap's pixels as 32-bit values; false when it cannot.
bool ReadBitmap(HBITMAP bitmap, BitmapPixels& pixels);

}  // namespace standin
