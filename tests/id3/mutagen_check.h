// Running mutagen (Python) on a file a test wrote: the cross-check of our tags
// against another reader. Tests skip where mutagen is not installed.
#pragma once

#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace varnel::testing {

// The Debian interpreter, which has the distribution's mutagen.
constexpr const char* kPython = "/usr/bin/python3";

inline std::string RunCommand(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

inline bool HasMutagen() {
    return RunCommand(std::string(kPython) + " -c 'import mutagen; print(1)' 2>/dev/null") == "1\n";
}

// Runs a Python script with the file's path as its argument; its printed output.
inline std::string Python(const TempDir& dir, const std::string& script, const std::string& path) {
    dir.Write("check.py", script);
    return RunCommand(std::string(kPython) + " " + (dir / "check.py") + " '" + path + "' 2>&1");
}

}  // namespace varnel::testing
