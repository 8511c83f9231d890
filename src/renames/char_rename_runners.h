// The runners of the convert, clear-characters and pinyin rename tasks. They run on
// the run's own thread and get their parameter structs from the run.
#pragma once

#include "naming/clear_chars_name.h"
#include "naming/pinyin_name.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/text_converter.h"

namespace varnel {

// A name the converter cannot make, or that cannot name a file, fails its row and
// keeps its name.
void RunConvertTask(RunContext& run, RunRows& rows, const ConvertOptions& given);
void RunClearCharactersTask(RunContext& run, RunRows& rows, const ClearCharsParams& given);
void RunPinyinTask(RunContext& run, RunRows& rows, const PinyinParams& given);

}  // namespace varnel
