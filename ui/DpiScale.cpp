#include "ui/DpiScale.h"

#include <cstdint>

int ScaleRounded(int value, int numerator, int denominator) {
    if (denominator <= 0) {
        return value;
    }
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const int64_t half = denominator / 2;
    // Integer division truncates toward zero: the half goes away from it first.
    return static_cast<int>((product >= 0 ? product + half : product - half) / denominator);
}
