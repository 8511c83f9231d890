#include "filelist/list_finder.h"

#include <algorithm>
#include <functional>

namespace varnel {

namespace {

bool SearchesAllColumns(int column) { return column < 0 || column >= kListColumnCount; }

}  // namespace

std::string JoinRowCells(const RowStore& rows, std::size_t row) {
    std::string text;
    rows.JoinRowCells(row, text);
    return text;
}

std::expected<bool, Error> ListFinder::RowMatches(const RowStore& rows, std::size_t row, const FindOptions& options,
                                                  const NameFilter& filter) {
    if (!SearchesAllColumns(options.column)) return m_filter.MatchText(rows.GetCellText(row, options.column), filter);
    // A whole word is a whole cell: joined cells would let it span a border.
    for (int column = 0; column < kListColumnCount; ++column) {
        const auto matched = m_filter.MatchText(rows.GetCellText(row, column), filter);
        if (!matched || *matched) return matched;
    }
    return false;
}

FindOutcome ListFinder::SearchListForText(const RowStore& rows, const FindOptions& options,
                                          std::optional<std::size_t> currentRow) {
    if (options.keyword.empty()) return {FindOutcome::Kind::EmptyKeyword, 0, std::nullopt};
    const std::size_t count = rows.RowCount();
    if (count == 0) return {FindOutcome::Kind::EmptyList, 0, std::nullopt};

    const bool restart = gFindRestart;
    gFindRestart = false;
    if (restart || (currentRow && *currentRow >= count)) currentRow.reset();
    // The first row to look at, chosen for this search's direction.
    std::size_t start = 0;
    if (!options.upward) {
        start = currentRow && *currentRow + 1 < count ? *currentRow + 1 : 0;
    } else {
        start = currentRow && *currentRow > 0 ? *currentRow - 1 : count - 1;
    }

    const NameFilter filter{.enabled = true,
                            .engine = options.engine,
                            .pattern = options.keyword,
                            .ignoreCase = options.ignoreCase,
                            .wholeMatch = options.wholeWord,
                            .invert = false};
    // A pattern that does not compile is the user's to mend, not a search that found nothing.
    if (auto valid = FileFilter::Validate(filter); !valid) return {FindOutcome::Kind::Failed, start, valid.error()};
    if (SearchesAllColumns(options.column) && !options.wholeWord) {
        return SearchJoinedRows(rows, count, start, options, filter);
    }
    for (std::size_t step = 0;; ++step) {
        const std::size_t row = options.upward ? start - step : start + step;
        const auto matched = RowMatches(rows, row, options, filter);
        if (!matched) return {FindOutcome::Kind::Failed, row, matched.error()};
        if (*matched) return {FindOutcome::Kind::Found, row, std::nullopt};
        if (options.upward ? row == 0 : row + 1 >= count) break;
    }
    gFindRestart = true;
    return {FindOutcome::Kind::NotFound, 0, std::nullopt};
}

FindOutcome ListFinder::SearchJoinedRows(const RowStore& rows, std::size_t count, std::size_t start,
                                         const FindOptions& options, const NameFilter& filter) {
    constexpr std::size_t kBlockRows = 1024;
    // Each row's text is followed by a '\0' in the block, so a keyword without one
    // never matches across two rows: the block's first (going up, last) match lies
    // in the row to report.
    const bool wholeBlock = IsPlainEngine(options.engine) && options.keyword.find('\0') == std::string::npos;
    const std::string keyword = wholeBlock && options.ignoreCase ? FoldCase(options.keyword) : options.keyword;
    // Found by skipping ahead on the keyword's last byte (going up, its first), as
    // grep does, instead of trying each place where its first byte stands.
    const std::boyer_moore_horspool_searcher forward(keyword.begin(), keyword.end());
    const std::boyer_moore_horspool_searcher backward(keyword.rbegin(), keyword.rend());
    const std::size_t rowsToSearch = options.upward ? start + 1 : count - start;
    for (std::size_t searched = 0; searched < rowsToSearch;) {
        const std::size_t size = std::min(kBlockRows, rowsToSearch - searched);
        const std::size_t first = options.upward ? start + 1 - searched - size : start + searched;
        searched += size;
        m_text.clear();
        m_ends.clear();
        rows.JoinRowCellsOfBlock(first, size, m_text, m_ends);
        std::string_view text = m_text;
        const std::vector<std::size_t>* ends = &m_ends;
        if (wholeBlock && options.ignoreCase) {
            // Folded row by row, as a row alone is: folding may change a text's length.
            m_folded.clear();
            m_foldedEnds.clear();
            std::size_t begin = 0;
            for (const std::size_t end : m_ends) {
                m_folded += FoldCase(text.substr(begin, end - begin));
                m_foldedEnds.push_back(m_folded.size());
                m_folded += '\0';
                begin = end + 1;
            }
            text = m_folded;
            ends = &m_foldedEnds;
        }
        if (wholeBlock) {
            std::size_t hit = 0;
            if (options.upward) {
                const auto found = std::search(text.rbegin(), text.rend(), backward);
                if (found == text.rend()) continue;
                hit = text.size() - static_cast<std::size_t>(found - text.rbegin()) - keyword.size();
            } else {
                const auto found = std::search(text.begin(), text.end(), forward);
                if (found == text.end()) continue;
                hit = static_cast<std::size_t>(found - text.begin());
            }
            const auto row = std::upper_bound(ends->begin(), ends->end(), hit) - ends->begin();
            return {FindOutcome::Kind::Found, first + static_cast<std::size_t>(row), std::nullopt};
        }
        for (std::size_t step = 0; step < size; ++step) {
            const std::size_t index = options.upward ? size - 1 - step : step;
            const std::size_t begin = index == 0 ? 0 : m_ends[index - 1] + 1;
            const auto matched = m_filter.MatchText(text.substr(begin, m_ends[index] - begin), filter);
            if (!matched) return {FindOutcome::Kind::Failed, first + index, matched.error()};
            if (*matched) return {FindOutcome::Kind::Found, first + index, std::nullopt};
        }
    }
    gFindRestart = true;
    return {FindOutcome::Kind::NotFound, 0, std::nullopt};
}

std::string FindOutcomeNotice(const FindOutcome& outcome, const FindOptions& options) {
    switch (outcome.kind) {
        case FindOutcome::Kind::Found:
            return "查找关键字为：" + options.keyword + "  已经找到\r\n\r\n位于第 " + std::to_string(outcome.row + 1) +
                   " 条\r\n\r\n继续则查找" + (options.upward ? "上" : "下") + "一条...";
        case FindOutcome::Kind::NotFound: return "找不到项目,继续或修改字符串将从头开始查找。";
        case FindOutcome::Kind::EmptyKeyword: return "要查找的字符串不能为空！";
        case FindOutcome::Kind::EmptyList: return "当前列表框中没有项目！";
        case FindOutcome::Kind::Failed:
            return "查找失败：" + (outcome.error ? outcome.error->message : std::string());
    }
    return {};
}

}  // namespace varnel
