// What the name makers of the rename tasks have in common: the part of a name a task
// changes and how the name is put back together, the result template (扩展组合 /
// 组合式), and how their number boxes read. All pure functions of their input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnel {

// The part of its input a maker works on: the whole path (the whole-path mode of the
// replace tasks) or the run's name scope.
enum class NamePart : int { WholePath = 0, WholeName = 1, MainName = 2, Extension = 3 };

// An input taken apart: the part to change, and what the name is rebuilt from.
struct TakenNamePart {
    std::string part;
    std::string name;  // the file name of the input (without a folder)
    std::string main;
    std::string extension;
};
// A full-path input gives up its folder to every part but the whole path. A name
// that cannot be split (empty, or ending in "/") leaves main and extension empty.
TakenNamePart TakeNamePart(std::string_view input, NamePart part);
// The new name from the changed part: the part itself for the whole path or name;
// the new main name with the old extension, or the old main name with the new
// extension, the "." written only before a non-empty extension. An empty main name
// leaves the name as it was (it would turn the file into a hidden ".ext" file), and
// so does an unchanged part.
std::string ReassembleName(const TakenNamePart& taken, std::string_view newPart, NamePart part);

// Changes the chosen part of input with change(part) -> new part and rebuilds the name.
template <typename Change>
std::string ChangeNamePart(std::string_view input, NamePart part, Change&& change) {
    const TakenNamePart taken = TakeNamePart(input, part);
    return ReassembleName(taken, change(std::string_view(taken.part)), part);
}

// text with every `mark` character replaced by `with`.
std::string ReplaceMarks(std::string_view text, char mark, std::string_view with);

// The result template: every "?" of pattern replaced by result; an empty pattern
// acts as "?". Meta-variables in it are left for the rename step.
std::string ApplyResultTemplate(std::string_view pattern, std::string_view result);

// The chosen part of input replaced by text, through the result template when
// useTemplate; an empty text (nothing found, nothing read) keeps the name as it was.
std::string PutTextInNamePart(std::string_view input, NamePart part, std::string_view text, bool useTemplate,
                              std::string_view pattern);

// The integer a number box holds: its leading number, truncated ("abc" is 0),
// taken between low and high.
std::int64_t BoxInteger(std::string_view text, std::int64_t low, std::int64_t high);

}  // namespace varnel
