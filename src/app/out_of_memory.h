#pragma once

namespace vexil {

// Every allocation failure, from new and from the C allocation functions, shows
// "Error allocating memory." and ends the process with exit code 1.
void installOutOfMemoryHandler();

} // namespace vexil
