// A broken promise ends the fuzz run with a finding.
#pragma once

#include <cstdlib>

inline void Require(bool condition) {
    if (!condition) std::abort();
}
