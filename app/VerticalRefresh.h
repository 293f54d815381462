#pragma once

// On a real display the show waits for the vertical refresh at each buffer
// swap (SDL 1.2's swap control): no tearing, and no core spinning through
// the opening at well over a thousand frames a second. VELMO_NO_VSYNC=1
// turns the wait off, for the benchmark on a display that has a refresh.
// Xvfb has none: there the request changes nothing.
constexpr const char* kNoVsyncVariable = "VELMO_NO_VSYNC";

// Swap interval to ask for: 1 (each swap waits for one refresh), or 0 when
// the environment turns the wait off (any value but "" and "0"). Read on
// each call.
int requestedSwapInterval();
