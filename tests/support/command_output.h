// What a shell command prints on its standard output, for tests that cross-check a
// result against a system tool.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace varnel::testing {

inline std::string CommandOutput(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return out;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) out += buffer.data();
    return out;
}

}  // namespace varnel::testing
