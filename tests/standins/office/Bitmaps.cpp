#include "Bitmaps.h"

namespace standin {

bool ReadBitmap(HBITMAP bitmap, BitmapPixels& result)
{
    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return false;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    BitmapPixels pixels;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    pixels.pixels.resize(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.pixels.data(), &format,
                                DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != info.bmHeight)
        return false;
    result = std::move(pixels);
    return true;
}

}  // namespace standin
