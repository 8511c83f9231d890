// The runners of the four rename tasks that take the new name from the file's
// content (markers, position, line, regular expression). They run on the run's own
// thread and get their parameter structs from the run.
#pragma once

#include "naming/content_extract_name.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/regex_object.h"

namespace varnel {

// The expression task's expression, kept between runs and compiled again only
// when the expression or a flag changes.
CachedRegex& ExtractRegexCache();

void RunExtractElementTask(RunContext& run, RunRows& rows, const ElementExtractParams& params);
void RunExtractPositionTask(RunContext& run, RunRows& rows, const PositionExtractParams& params);
void RunExtractLineTask(RunContext& run, RunRows& rows, const LineExtractParams& params);
// An empty expression, or one that does not compile, leaves every name as it is.
void RunRegexExtractTask(RunContext& run, RunRows& rows, const RegexExtractParams& params);

}  // namespace varnel
