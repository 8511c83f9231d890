// Sets environment variables for the life of one test and puts the old values back.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace varnel::testing {

class ScopedEnv {
public:
    ScopedEnv() = default;
    ScopedEnv(const char* name, const std::string& value) { Set(name, value); }
    ~ScopedEnv() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second) {
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            } else {
                ::unsetenv(it->first.c_str());
            }
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void Set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name, value.c_str(), 1);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

}  // namespace varnel::testing
