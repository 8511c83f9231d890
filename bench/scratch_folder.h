// Where the benchmarks make their trees and files: $VARNEL_BENCH_DIR when set (to
// measure on another file system), otherwise the build folder they were built in;
// never the source checkout, whatever folder they are started from.
#pragma once

#include <cstdlib>
#include <string>

namespace varnel::bench {

inline std::string ScratchFolder() {
    if (const char* place = std::getenv("VARNEL_BENCH_DIR"); place != nullptr && *place != '\0') return place;
    return VARNEL_BENCH_BUILD_DIR;
}

}  // namespace varnel::bench
