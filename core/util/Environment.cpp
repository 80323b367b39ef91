#include "core/util/Environment.h"

#include <cstdlib>

namespace fw {

const char* ProcessEnvironment(const char* name) {
    return std::getenv(name);
}

} // namespace fw
