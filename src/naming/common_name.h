// The common rename task: every row gets a new main name, optionally numbered, and
// optionally a new extension. The number is a counter from a start value growing by
// a step per row, written in digits, Chinese numerals or letters, with a text
// attached if asked, placed left or right of the old or new main name, or wherever
// "*" stands in a custom main name. Pure makers; the runner is in renames/rename_task.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>


namespace varnel {

// 修改主名类型: the number added to the old main name or to the new one, or the new
// main name with each "*" replaced by the number.
enum class CommonMainNameType : int { NumberOldMain = 0, NumberNewMain = 1, CustomMain = 2 };

// The start and step of the counter are taken within this range, so that a run of
// any length cannot overflow it.
inline constexpr std::int64_t kCounterLimit = 1'000'000'000'000'000;

struct CommonRenameParams {
    bool changeMainName = true;
    CommonMainNameType type = CommonMainNameType::NumberNewMain;
    std::string newMainName = "#目录名";
    bool changeExtension = false;
    std::string newExtension = "txt";
    bool letters = false;     // 字母 rather than 数字
    bool left = false;        // 左边 rather than 右边
    bool upper = false;       // 大写: capital letters, or Chinese numerals for a number
    std::int64_t start = 1;
    std::int64_t step = 1;    // never 0
    std::int32_t zeroCount = 2;
    bool uniform = false;     // digits padded to zeroCount + 1 characters instead
    bool perFolder = false;   // each folder counts on its own
    bool traditional = false;
    bool amount = false;
    bool attach = false;
    std::string attachedText;
    bool attachLeft = false;

    bool operator==(const CommonRenameParams&) const = default;
};

// The counters of one run: one for the whole run, or one per folder.
class CommonNumbering {
public:
    explicit CommonNumbering(const CommonRenameParams& params) : m_params(params), m_counter(params.start) {}
    // The counter for a row of `folder`; Advance moves it on by the step.
    std::int64_t& CounterFor(std::string_view folder);
    void Advance(std::int64_t& counter) const;

private:
    const CommonRenameParams& m_params;
    std::int64_t m_counter;
    std::unordered_map<std::string, std::int64_t> m_perFolder;
};

// The number as the numbering settings write it, attached text included.
std::string CommonNumberText(std::int64_t counter, const CommonRenameParams& params);

// The new name of one row (name with extension; folder a folder path, read only for
// per-folder numbering). Every row advances its counter while the main name is
// changed, numbered or not. A result whose main name would be empty leaves the name
// as it was.
std::string MakeCommonName(std::string_view name, std::string_view folder, const CommonRenameParams& params,
                           CommonNumbering& numbering);

}  // namespace varnel
