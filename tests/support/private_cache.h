// Gives a whole test program its own cache folder ($XDG_CACHE_HOME), removed at
// the end, so that the write journal and undo spool of code under test never
// reach the real home. A test that needs a folder of its own still sets one.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace varnel::testing {

class PrivateCache : public ::testing::Environment {
public:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "varnel-cache-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return;
        m_folder = pattern;
        ::setenv("XDG_CACHE_HOME", m_folder.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        if (!m_folder.empty()) std::filesystem::remove_all(m_folder, ignored);
    }

private:
    std::string m_folder;
};

}  // namespace varnel::testing

// One line in a test program registers it for all of that program's tests.
#define VARNEL_PRIVATE_CACHE_FOR_ALL_TESTS                                 \
    [[maybe_unused]] static ::testing::Environment* const gPrivateCache = \
        ::testing::AddGlobalTestEnvironment(new ::varnel::testing::PrivateCache)
