// The meta-variable environment of one run, as the file tasks expand their
// templates: the run's snapshot of the parameters and of the 启用元符 switch.
// Used on the run's own thread; not copyable (the environment points at the switch).
#pragma once

#include <atomic>

#include "naming/meta_expansion.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"

namespace varnel {

class RunMetaEnvironment {
public:
    explicit RunMetaEnvironment(const RunContext& run, PosixApi& os = SystemPosix())
        : m_symbols(run.Settings().metaSymbols) {
        m_meta.settings = run.Settings().meta;
        m_meta.symbolsEnabled = &m_symbols;
        m_meta.os = &os;
    }
    RunMetaEnvironment(const RunMetaEnvironment&) = delete;
    RunMetaEnvironment& operator=(const RunMetaEnvironment&) = delete;

    const MetaEnvironment& Get() const { return m_meta; }

private:
    std::atomic<bool> m_symbols;
    MetaEnvironment m_meta;
};

}  // namespace varnel
