#pragma once
// How the program names itself to the user and to the system.

// The caption of the program's message boxes.
constexpr char kAppTitle[] = "Orvane";

// The program's own value in the current user's Run key.
constexpr char kOwnRunValueName[] = "ORV";
