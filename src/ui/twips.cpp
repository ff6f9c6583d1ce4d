#include "twips.h"

#include <windows.h>

#include <cmath>

#include "gdi_handles.h"

namespace {

struct Display_Dpi {
    int X = 96, Y = 96;
    Display_Dpi() {
        if (const Window_Dc dc(nullptr); dc) {
            X = GetDeviceCaps(dc.Get(), LOGPIXELSX);
            Y = GetDeviceCaps(dc.Get(), LOGPIXELSY);
        }
        if (X <= 0) X = 96;
        if (Y <= 0) Y = 96;
    }
};

// The system DPI to begin with; the DPI of the monitor the window is on once it tells (the program
// is aware of each monitor's DPI).
Display_Dpi& Dpi() {
    static Display_Dpi dpi;
    return dpi;
}

}  // namespace

int Display_Dpi_Y() { return Dpi().Y; }

void Set_Display_Dpi(int dpi) {
    if (dpi <= 0) return;
    Dpi().X = dpi;
    Dpi().Y = dpi;
}

float Twips_Per_Pixel_X() { return 1440.0f / static_cast<float>(Dpi().X); }
float Twips_Per_Pixel_Y() { return 1440.0f / static_cast<float>(Dpi().Y); }

int Twips_To_Pixels_X(float twips) { return static_cast<int>(std::lround(twips / Twips_Per_Pixel_X())); }
int Twips_To_Pixels_Y(float twips) { return static_cast<int>(std::lround(twips / Twips_Per_Pixel_Y())); }
