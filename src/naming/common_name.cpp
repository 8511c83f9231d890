#include "naming/common_name.h"

#include <algorithm>

#include "naming/meta_values.h"
#include "naming/name_parts.h"
#include "utilities/number_text.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

// Uniform digits: padded to zeroCount + 1 characters, the sign in front, but a
// longer number keeps every digit, so that no two rows share a number.
std::string UniformDigits(std::int64_t counter, std::int32_t zeroCount) {
    std::string digits = NumberToText(counter);
    const bool negative = digits.front() == '-';
    const auto width = static_cast<std::size_t>(std::clamp(zeroCount, 0, kMetaCountLimit)) + 1;
    if (digits.size() < width) digits.insert(negative ? 1 : 0, width - digits.size(), '0');
    return digits;
}

}  // namespace

std::int64_t& CommonNumbering::CounterFor(std::string_view folder) {
    if (!m_params.perFolder) return m_counter;
    return m_perFolder.try_emplace(std::string(folder), m_params.start).first->second;
}

void CommonNumbering::Advance(std::int64_t& counter) const {
    // Start and step are bounded, but a run may be long: the counter saturates.
    std::int64_t next = 0;
    if (__builtin_add_overflow(counter, m_params.step, &next)) {
        next = m_params.step > 0 ? INT64_MAX : INT64_MIN;
    }
    counter = next;
}

std::string CommonNumberText(std::int64_t counter, const CommonRenameParams& params) {
    std::string number;
    if (params.letters) {
        number = NumberToLetters(counter, !params.upper);
    } else if (params.upper) {
        number = FormatSequenceNumber(counter, 0, false, true, params.amount, params.traditional);
    } else if (params.uniform) {
        number = UniformDigits(counter, params.zeroCount);
    } else {
        number = FormatSequenceNumber(counter, params.zeroCount, false, false, false, false);
    }
    if (!params.attach) return number;
    return params.attachLeft ? params.attachedText + number : number + params.attachedText;
}

std::string MakeCommonName(std::string_view name, std::string_view folder, const CommonRenameParams& params,
                           CommonNumbering& numbering) {
    // The split of SplitMainAndExtension, kept as views: this runs once per row.
    std::string_view oldMain;
    std::string_view extension;
    if (!name.empty() && name.back() != '/') {
        const std::string_view tail = name.substr(name.rfind('/') + 1);
        const std::size_t dot = ExtensionDotOf(tail);
        oldMain = tail.substr(0, dot);
        if (dot != std::string_view::npos) extension = tail.substr(dot + 1);
    }
    std::string main;
    if (params.changeMainName) {
        const bool custom = params.type == CommonMainNameType::CustomMain;
        const bool numbered = !custom || params.newMainName.find('*') != std::string::npos;
        std::int64_t& counter = numbering.CounterFor(folder);
        const std::string number = numbered ? CommonNumberText(counter, params) : std::string();
        if (custom) {
            main = ReplaceMarks(params.newMainName, '*', number);
        } else {
            const std::string_view base =
                params.type == CommonMainNameType::NumberOldMain ? oldMain : std::string_view(params.newMainName);
            main.reserve(base.size() + number.size() + extension.size() + 1);
            main.append(params.left ? std::string_view(number) : base);
            main.append(params.left ? base : std::string_view(number));
        }
        numbering.Advance(counter);
    } else {
        main = oldMain;
    }
    if (params.changeExtension) extension = params.newExtension;
    if (main.empty() && !oldMain.empty()) return std::string(name);
    if (!extension.empty()) {
        main += '.';
        main += extension;
    }
    return main;
}

}  // namespace varnel
