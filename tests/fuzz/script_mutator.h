#pragma once
// Mutants of the corpus: scripts that are nearly right, which reach deeper than random text.
#include "fuzz_random.h"

#include <string>
#include <vector>

namespace vexil::fuzz {

// One corpus script (now and then spliced with a second) with 1 to 8 changes at token and line
// boundaries, and its long loops cut short.
std::wstring mutateScript(const std::vector<std::wstring>& corpus, Random& random);

} // namespace vexil::fuzz
