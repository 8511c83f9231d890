// The texts a user typed into a rename panel, expanded for one row at a time. Only
// these texts are templates: a file's own name, and the parts of it a task keeps or
// moves, are taken as they are, so a name holding "#主名" keeps it. Each value is put
// in as a file name would hold it, so it brings no mark into the text (the "?" of a
// result template, the "*" of a custom main name) and, in a regular-expression
// replacement, no group reference. Used on the run's own thread.
#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <string_view>

#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_meta.h"
#include "utilities/error.h"

namespace varnel {

// How a value must be written into the text it expands.
enum class UserTextForm { Name, RegexReplacement };

class UserTextExpander {
public:
    explicit UserTextExpander(const RunContext& run, PosixApi& os = SystemPosix()) : m_meta(run, os) {}

    // Whether text has anything to expand while the run's switch is as it is.
    bool Needed(std::string_view text) const;
    // text for the file at `path`, list row `row` (0-based).
    std::expected<std::string, Error> Expand(std::string_view text, const std::string& path, std::size_t row,
                                             UserTextForm form = UserTextForm::Name) const;

    // The parameters for one row: `params` itself when none of the given text
    // members needs expanding, else `scratch`, a copy with them expanded for the
    // file pathOf() names (asked only then).
    template <typename Params, typename PathOf, typename... Members>
    std::expected<const Params*, Error> ForRow(const Params& params, Params& scratch, PathOf&& pathOf,
                                               std::size_t row, Members... members) const {
        if (!(Needed(params.*members) || ...)) return &params;
        scratch = params;
        const std::string path = pathOf();
        std::expected<void, Error> result;
        ((result = result ? ExpandInto(scratch.*members, path, row) : result), ...);
        if (!result) return std::unexpected(result.error());
        return &scratch;
    }

private:
    std::expected<void, Error> ExpandInto(std::string& text, const std::string& path, std::size_t row) const;

    RunMetaEnvironment m_meta;
};

}  // namespace varnel
