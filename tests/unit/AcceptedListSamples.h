#pragma once
// A small accepted-list file as the program writes it, and records for tests.
#include "app/AcceptedListFormat.h"
#include "tests/unit/HexBytes.h"

#include <cstdint>
#include <string>

// A record as SetState creates it.
inline AcceptedItem Item(const std::string& path, int32_t state) {
    AcceptedItem item;
    item.path = path;
    item.state = state;
    return item;
}

// Two records, a (accepted) and bc (not accepted): 4 + (46 + 1) + (46 + 2) bytes.
inline const std::string kTwoAcceptedRecords =
    HexBytes("02 00 00 00"
             // a
             "00 00 00 00 00 00 F0 3F  01 61  01 00 00 00  00 00 00 00"
             "00 00 00 00 00 00 00 00 00 00 00 00"
             "00 00 00 00 00 00 00 00 00 00 00 00"
             "00 00 00 00  00"
             // bc
             "00 00 00 00 00 00 F0 3F  02 62 63  00 00 00 00  00 00 00 00"
             "00 00 00 00 00 00 00 00 00 00 00 00"
             "00 00 00 00 00 00 00 00 00 00 00 00"
             "00 00 00 00  00");
