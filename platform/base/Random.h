// The process-wide pseudo-random generator of the platform's C runtime:
// values 0..32767, one sequence for the whole process, seeded by srand.
#pragma once

// The host's <stdlib.h> defines RAND_MAX as a macro (2147483647), which no
// C++ constant can share a name with. It is included here first and the
// macro is replaced by the device runtime's range, whatever the include
// order of the file that uses it.
#include <cstdlib>

#undef RAND_MAX
#define RAND_MAX 32767

namespace ce {

constexpr int kRandMax = RAND_MAX;

int rand();
void srand(unsigned seed);

}  // namespace ce
