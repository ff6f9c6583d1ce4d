#pragma once
// Twips (1,440 to the inch) and pixels. Every position of the screens is in twips; the display's DPI
// decides how many twips make a pixel (15 at 96 dpi).

// The DPI the conversions use: the system's at start, then that of the monitor the window is on.
int Display_Dpi_Y();
void Set_Display_Dpi(int dpi);

float Twips_Per_Pixel_X();
float Twips_Per_Pixel_Y();

int Twips_To_Pixels_X(float twips);
int Twips_To_Pixels_Y(float twips);
inline float Pixels_To_Twips_X(int pixels) { return static_cast<float>(pixels) * Twips_Per_Pixel_X(); }
inline float Pixels_To_Twips_Y(int pixels) { return static_cast<float>(pixels) * Twips_Per_Pixel_Y(); }
