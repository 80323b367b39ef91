#pragma once

#include <functional>

namespace fw {

// Reads an environment variable; tests pass their own lookup instead of changing the process's.
using EnvironmentLookup = std::function<const char*(const char*)>;
const char* ProcessEnvironment(const char* name);

} // namespace fw
