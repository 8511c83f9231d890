// The program's version, one constant for every place that shows or compares it
// (the window caption, the update check).
#pragma once

#include <string>
#include <string_view>

namespace varnel {

inline constexpr std::string_view kProgramVersion = VARNEL_VERSION_TEXT;

// The short form the caption shows: "5.0.3" becomes "v5.03" (the parts after the
// first run together).
std::string CaptionVersion(std::string_view version = kProgramVersion);

}  // namespace varnel
