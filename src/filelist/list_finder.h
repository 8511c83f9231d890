// The search in the file list: the next row, down or up from the current one,
// whose text (one column, or every column) matches the keyword with the plain,
// wildcard or regular-expression engine of the name filter.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "filelist/file_filter.h"
#include "filelist/row_store.h"
#include "settings/find_options.h"
#include "utilities/error.h"

namespace varnel {

struct FindOutcome {
    enum class Kind { Found, NotFound, EmptyKeyword, EmptyList, Failed };
    Kind kind = Kind::NotFound;
    std::size_t row = 0;       // the hit, for Found
    std::optional<Error> error;  // for Failed: the engine could not decide
};

// The texts of every column of the row, joined without a separator.
std::string JoinRowCells(const RowStore& rows, std::size_t row);

class ListFinder {
public:
    // Searches from the row after (or before, upward) currentRow; from the last row
    // going down, or the first going up, the search starts over at the other end,
    // and so it does after a search that found nothing (gFindRestart). With whole
    // word and every column, a cell must match as a whole.
    FindOutcome SearchListForText(const RowStore& rows, const FindOptions& options,
                                  std::optional<std::size_t> currentRow);

    // Set when a search found nothing: the next one starts at the top (or bottom).
    bool gFindRestart = false;

private:
    // One column, or every column by whole words.
    std::expected<bool, Error> RowMatches(const RowStore& rows, std::size_t row, const FindOptions& options,
                                          const NameFilter& filter);

    // The search in every column joined, not by whole words: rows are read a block
    // at a time, and the plain engine looks for the keyword in a whole block at once.
    FindOutcome SearchJoinedRows(const RowStore& rows, std::size_t count, std::size_t start,
                                 const FindOptions& options, const NameFilter& filter);

    FileFilter m_filter;  // keeps the compiled pattern between searches
    std::string m_text;
    std::string m_folded;
    std::vector<std::size_t> m_ends;
    std::vector<std::size_t> m_foldedEnds;
};

// The tray notice of a search's outcome.
std::string FindOutcomeNotice(const FindOutcome& outcome, const FindOptions& options);

}  // namespace varnel
