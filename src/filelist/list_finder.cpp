#include "filelist/list_finder.h"

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
    if (!options.wholeWord) {
        m_text.clear();
        rows.JoinRowCells(row, m_text);
        return m_filter.MatchText(m_text, filter);
    }
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
