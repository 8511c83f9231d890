// The run settings of transfer mode into a folder, as the batch task area would give.
#pragma once

#include <string>

#include "runs/run_context.h"

namespace varnel::testing {

inline RunSettings TransferTo(const std::string& folder) {
    RunSettings settings;
    settings.transferMode = true;
    settings.transferFolder = folder;
    return settings;
}

}  // namespace varnel::testing
