// The marks that are drawn over or around the character before them, stacking when repeated.
#pragma once

#include <cstdint>

bool IsStackingMark(uint32_t c);
