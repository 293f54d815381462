#pragma once

#include <cstdint>

// The message the sound layer's error code stands for; "Unknown error" for
// any code it does not know.
const char* errorText(int32_t code);
