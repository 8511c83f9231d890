#include "utilities/program_version.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(ProgramVersion, CaptionRunsTheMinorPartsTogether) {
    EXPECT_EQ(CaptionVersion("5.0.3"), "v5.03");
    EXPECT_EQ(CaptionVersion("5.1"), "v5.1");
    EXPECT_EQ(CaptionVersion("6"), "v6");
    EXPECT_EQ(CaptionVersion("5.0.10"), "v5.010");
    // The caption and the update check share the one version.
    EXPECT_EQ(CaptionVersion(), CaptionVersion(kProgramVersion));
}

}  // namespace
}  // namespace varnel
