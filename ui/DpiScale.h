#pragma once
// Pixel sizes designed for 96 dots per inch, at the dots per inch a window or
// the screen has; no windows, so this also runs natively.

constexpr int kDesignDpi = 96;

// value × numerator ÷ denominator, rounded to the nearest whole number with
// halves away from zero, as MulDiv does; value itself for a denominator of 0
// or less.
int ScaleRounded(int value, int numerator, int denominator);

// A size or offset of pixels96 at 96 dots per inch, at dpi. A dpi of 0 or
// less (not known) leaves it as it is.
inline int ScaleForDpi(int pixels96, int dpi) {
    return dpi > 0 ? ScaleRounded(pixels96, dpi, kDesignDpi) : pixels96;
}
