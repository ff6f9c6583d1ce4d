#include "twips.h"

#include <windows.h>

#include <cmath>

namespace {

struct Display_Dpi {
    int X = 96, Y = 96;
    Display_Dpi() {
        if (HDC dc = GetDC(nullptr)) {
            X = GetDeviceCaps(dc, LOGPIXELSX);
            Y = GetDeviceCaps(dc, LOGPIXELSY);
            ReleaseDC(nullptr, dc);
        }
        if (X <= 0) X = 96;
        if (Y <= 0) Y = 96;
    }
};

// The system DPI does not change while the program runs (it declares system DPI awareness).
const Display_Dpi& Dpi() {
    static const Display_Dpi dpi;
    return dpi;
}

}  // namespace

float Twips_Per_Pixel_X() { return 1440.0f / static_cast<float>(Dpi().X); }
float Twips_Per_Pixel_Y() { return 1440.0f / static_cast<float>(Dpi().Y); }

int Twips_To_Pixels_X(float twips) { return static_cast<int>(std::lround(twips / Twips_Per_Pixel_X())); }
int Twips_To_Pixels_Y(float twips) { return static_cast<int>(std::lround(twips / Twips_Per_Pixel_Y())); }
