#pragma once
// A fuzz target's check: a broken promise stops the run where libFuzzer sees it.
#include <cstdlib>

inline void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}
