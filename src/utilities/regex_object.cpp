#include "utilities/regex_object.h"

#include <algorithm>
#include <cerrno>
#include <type_traits>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "utilities/regex_pattern.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

// Bounds that turn a runaway match (nested quantifiers on a long text) into an
// error for that one call. The depth and heap limits bind the interpreter; the
// JIT is bound by the match limit and the size of its stack.
constexpr uint32_t kMatchLimit = 10'000'000;
constexpr uint32_t kDepthLimit = 1'000'000;
constexpr PCRE2_SIZE kHeapLimitKiB = 256 * 1024;
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 8 * 1024 * 1024;

// The engine's errors in the user's words: the common pattern mistakes and the
// match limits by name, any other by its code.
std::string EngineMessage(int code) {
    if (code <= PCRE2_ERROR_UTF8_ERR1 && code >= PCRE2_ERROR_UTF8_ERR21) return "文本不是有效的 UTF-8";
    switch (code) {
        case PCRE2_ERROR_END_BACKSLASH: return "表达式以“\\”结尾";
        case PCRE2_ERROR_UNKNOWN_ESCAPE: return "“\\”后面的字符无法识别";
        case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER: return "重复次数“{}”中的数字前大后小";
        case PCRE2_ERROR_QUANTIFIER_TOO_BIG: return "重复次数“{}”中的数字过大";
        case PCRE2_ERROR_MISSING_SQUARE_BRACKET: return "缺少与“[”配对的“]”";
        case PCRE2_ERROR_ESCAPE_INVALID_IN_CLASS: return "方括号内不能使用此转义";
        case PCRE2_ERROR_CLASS_RANGE_ORDER: return "字符范围前大后小";
        case PCRE2_ERROR_CLASS_INVALID_RANGE: return "字符范围无效";
        case PCRE2_ERROR_QUANTIFIER_INVALID: return "重复符号前面没有可以重复的内容";
        case PCRE2_ERROR_INVALID_AFTER_PARENS_QUERY:
        case PCRE2_ERROR_UNRECOGNIZED_AFTER_QUERY_P: return "“(?”后面的字符无法识别";
        case PCRE2_ERROR_POSIX_CLASS_NOT_IN_CLASS: return "POSIX 字符类只能写在方括号内";
        case PCRE2_ERROR_UNKNOWN_POSIX_CLASS: return "未知的 POSIX 字符类";
        case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS: return "缺少与“(”配对的“)”";
        case PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS: return "多出一个没有“(”配对的“)”";
        case PCRE2_ERROR_BAD_SUBPATTERN_REFERENCE: return "引用了不存在的分组";
        case PCRE2_ERROR_MISSING_COMMENT_CLOSING: return "注释“(?#”缺少“)”";
        case PCRE2_ERROR_PARENTHESES_NEST_TOO_DEEP:
        case PCRE2_ERROR_PARENTHESES_STACK_CHECK: return "括号嵌套过深";
        case PCRE2_ERROR_PATTERN_TOO_LARGE: return "表达式过长";
        case PCRE2_ERROR_HEAP_FAILED: return "内存不足";
        case PCRE2_ERROR_MISSING_CONDITION_CLOSING: return "条件分组缺少“)”";
        case PCRE2_ERROR_LOOKBEHIND_NOT_FIXED_LENGTH: return "后向断言的长度不固定";
        case PCRE2_ERROR_LOOKBEHIND_TOO_COMPLICATED: return "后向断言过于复杂";
        case PCRE2_ERROR_CODE_POINT_TOO_BIG: return "字符编码值过大";
        case PCRE2_ERROR_MISSING_NAME_TERMINATOR: return "分组名称缺少结束符";
        case PCRE2_ERROR_DUPLICATE_SUBPATTERN_NAME: return "分组名称重复";
        case PCRE2_ERROR_INVALID_SUBPATTERN_NAME: return "分组名称无效";
        case PCRE2_ERROR_UNKNOWN_UNICODE_PROPERTY: return "未知的 Unicode 属性";
        case PCRE2_ERROR_MALFORMED_UNICODE_PROPERTY: return "Unicode 属性写法有误";
        case PCRE2_ERROR_MATCHLIMIT: return "超出匹配次数限度";
        case PCRE2_ERROR_DEPTHLIMIT: return "超出递归深度限度";
        case PCRE2_ERROR_HEAPLIMIT: return "超出内存限度";
        case PCRE2_ERROR_JIT_STACKLIMIT: return "超出匹配栈限度";
        case PCRE2_ERROR_NOMEMORY: return "内存不足";
        case PCRE2_ERROR_BADUTFOFFSET: return "文本不是有效的 UTF-8";
        default: break;
    }
    return "错误代码 " + std::to_string(code);
}

Error InvalidInput(std::string message) { return Error{Error::kInvalidInput, std::move(message), {}}; }

// A match the engine could not finish. Its answer is unknown, so the caller must not
// take it for "no match"; a limit is named as such, for the user to simplify the pattern.
Error MatchFailure(int code) {
    const bool limit = code == PCRE2_ERROR_MATCHLIMIT || code == PCRE2_ERROR_DEPTHLIMIT ||
                       code == PCRE2_ERROR_HEAPLIMIT || code == PCRE2_ERROR_JIT_STACKLIMIT;
    return InvalidInput(std::string("正则表达式匹配失败：") +
                        (limit ? "回溯过多，超出匹配限度，无法判断是否匹配（" + EngineMessage(code) + "）"
                               : EngineMessage(code)));
}

// A JIT stack may serve one thread at a time, so each thread that matches has its
// own; the match context asks for it at match time, on the matching thread.
pcre2_jit_stack* ThreadJitStack(void*) {
    struct Release {
        void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
    };
    thread_local std::unique_ptr<pcre2_jit_stack, Release> stack(
        pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
    return stack.get();  // null: the JIT falls back to a small stack of its own
}

// Appends the replacement with its "$" references filled in from one match.
// `offsets` holds (start, end) of groups 0..groups.
void AppendReplacement(std::string& out, std::string_view replacement, std::string_view subject,
                       const std::size_t* offsets, int groups) {
    auto appendGroup = [&](int group) {
        const std::size_t start = offsets[2 * group];
        if (start != std::string_view::npos) {
            out.append(subject.substr(start, offsets[2 * group + 1] - start));
        }
    };
    auto digit = [&](std::size_t pos) -> int {
        if (pos >= replacement.size()) return -1;
        const char c = replacement[pos];
        return c >= '0' && c <= '9' ? c - '0' : -1;
    };
    for (std::size_t pos = 0; pos < replacement.size();) {
        const std::size_t dollar = replacement.find('$', pos);
        if (dollar == std::string_view::npos || dollar + 1 == replacement.size()) {
            out.append(replacement.substr(pos));
            break;
        }
        out.append(replacement.substr(pos, dollar - pos));
        const char next = replacement[dollar + 1];
        pos = dollar + 2;
        if (next == '$') {
            out += '$';
        } else if (next == '&') {
            appendGroup(0);
        } else if (next == '`') {
            out.append(subject.substr(0, offsets[0]));
        } else if (next == '\'') {
            out.append(subject.substr(offsets[1]));
        } else if (const int first = digit(dollar + 1); first >= 0) {
            // Two digits when they name a group, else one; "$0" and a group the
            // pattern lacks stay as they are written.
            const int second = digit(dollar + 2);
            if (second >= 0 && first * 10 + second >= 1 && first * 10 + second <= groups) {
                appendGroup(first * 10 + second);
                pos = dollar + 3;
            } else if (first >= 1 && first <= groups) {
                appendGroup(first);
            } else {
                out += '$';
                pos = dollar + 1;
            }
        } else {
            out += '$';
            pos = dollar + 1;
        }
    }
}

}  // namespace

struct RegexObject::Compiled {
    pcre2_code* code = nullptr;
    bool jitted = false;  // the JIT compiled it: matches skip the interpreter's entry checks
    std::string pattern;
    RegexFlags flags;
    int groups = 0;
    ~Compiled() { pcre2_code_free(code); }
};

struct RegexObject::MatchState {
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    ~MatchState() {
        pcre2_match_data_free(data);
        pcre2_match_context_free(context);
    }
};

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(RegexObject&&) noexcept = default;
RegexObject& RegexObject::operator=(RegexObject&&) noexcept = default;

std::expected<void, Error> RegexObject::Compile(std::string_view pattern, RegexFlags flags) {
    Destroy();
    // ECMAScript-style syntax: \uXXXX and \u{...} escapes, an unset group matches
    // the empty text, [] and [^] are allowed, "$" outside multi-line mode matches
    // only at the very end. No UCP: \w, \d, \s and \b stay ASCII. CR, LF and CRLF
    // all end a line, so "." never takes the CR of a CRLF line end.
    uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                       PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALLOW_EMPTY_CLASS |
                       PCRE2_NEVER_BACKSLASH_C;
    if (flags.ignoreCase) options |= PCRE2_CASELESS;
    options |= flags.multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
    if (flags.stoppable) options |= PCRE2_AUTO_CALLOUT;

    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    if (context == nullptr) {
        m_compileError = InvalidInput("内存不足，无法编译正则表达式");
        return std::unexpected(*m_compileError);
    }
    pcre2_set_compile_extra_options(context, PCRE2_EXTRA_ALT_BSUX);
    pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    const PreparedPattern prepared = PrepareRegexPattern(pattern);
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(prepared.text.data()),
                                     prepared.text.size(), options, &errorCode, &errorOffset, context);
    pcre2_compile_context_free(context);
    if (code == nullptr) {
        errorOffset = prepared.OriginalOffset(errorOffset);
        const std::size_t position =
            CodePointCount(pattern.substr(0, std::min(errorOffset, pattern.size())));
        m_compileError = InvalidInput("正则表达式有误（位置 " + std::to_string(position) + "）：" +
                                      EngineMessage(errorCode));
        return std::unexpected(*m_compileError);
    }
    // Without the JIT the interpreter does the same work, only slower.
    const bool jitted = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;

    auto compiled = std::make_shared<Compiled>();
    compiled->code = code;
    compiled->jitted = jitted;
    compiled->pattern = std::string(pattern);
    compiled->flags = flags;
    uint32_t groups = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
    compiled->groups = static_cast<int>(groups);
    m_compiled = std::move(compiled);
    return {};
}

bool RegexObject::IsCompiled() const { return m_compiled != nullptr; }

std::string RegexObject::GetPattern() const { return m_compiled ? m_compiled->pattern : std::string(); }

RegexFlags RegexObject::GetFlags() const { return m_compiled ? m_compiled->flags : RegexFlags{}; }

RegexObject RegexObject::Copy() const {
    RegexObject copy;
    copy.m_compiled = m_compiled;
    copy.m_compileError = m_compileError;
    return copy;
}

void RegexObject::Destroy() {
    m_compiled.reset();
    m_compileError.reset();
    m_state.reset();
    m_subject.clear();
    m_offsets.clear();
    m_matchCount = 0;
}

std::expected<void, Error> RegexObject::PrepareMatch() {
    if (!m_compiled) {
        return std::unexpected(m_compileError ? *m_compileError
                                              : InvalidInput("没有已编译的正则表达式"));
    }
    if (!m_state) {
        auto state = std::make_unique<MatchState>();
        state->context = pcre2_match_context_create(nullptr);
        if (state->context != nullptr) {
            pcre2_set_match_limit(state->context, kMatchLimit);
            pcre2_set_depth_limit(state->context, kDepthLimit);
            pcre2_set_heap_limit(state->context, kHeapLimitKiB);
            pcre2_jit_stack_assign(state->context, ThreadJitStack, nullptr);
        }
        state->data = pcre2_match_data_create_from_pattern(m_compiled->code, nullptr);
        if (state->context == nullptr || state->data == nullptr) {
            return std::unexpected(InvalidInput("内存不足，无法执行正则表达式"));
        }
        m_state = std::move(state);
    }
    return {};
}

int RegexObject::Match(std::string_view text, std::size_t start) {
    // An empty view may have no bytes at all; the engine wants an address either way.
    const auto* subject = reinterpret_cast<PCRE2_SPTR>(text.data() != nullptr ? text.data() : "");
    // The JIT's own entry does what the general one would only hand on to it; the
    // pattern's invalid-UTF mode makes the JIT code itself safe on any bytes.
    if (m_compiled->jitted) {
        return pcre2_jit_match(m_compiled->code, subject, text.size(), start, 0, m_state->data, m_state->context);
    }
    return pcre2_match(m_compiled->code, subject, text.size(), start, 0, m_state->data, m_state->context);
}

template <typename OnMatch>
std::expected<void, Error> RegexObject::ForEachMatch(std::string_view text, OnMatch onMatch) {
    if (auto ready = PrepareMatch(); !ready) return ready;
    const int groups = m_compiled->groups;
    std::vector<std::size_t> offsets(2 * static_cast<std::size_t>(groups + 1));
    const bool checked = m_compiled->flags.stoppable && m_keepGoing;
    pcre2_set_callout(m_state->context, checked ? &RegexObject::StopCheck : nullptr, checked ? this : nullptr);
    m_stopped = false;
    const Error stopped{ECANCELED, "正则表达式匹配已中止", {}};
    std::size_t start = 0;
    while (start <= text.size()) {
        if (m_keepGoing && !m_keepGoing()) return std::unexpected(stopped);
        const int result = Match(text, start);
        if (result == PCRE2_ERROR_NOMATCH) break;
        if (m_stopped) return std::unexpected(stopped);
        if (result < 0) {
            return std::unexpected(MatchFailure(result));
        }
        const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(m_state->data);
        for (std::size_t k = 0; k < offsets.size(); ++k) {
            offsets[k] = k < 2 * static_cast<std::size_t>(result) ? vector[k] : std::string_view::npos;
        }
        if constexpr (std::is_same_v<decltype(onMatch(offsets.data())), bool>) {
            if (!onMatch(offsets.data())) break;
        } else {
            onMatch(offsets.data());
        }
        if (!m_compiled->flags.global) break;
        const std::size_t end = std::max(offsets[1], start);
        if (end != offsets[0] && end > start) {
            start = end;
        } else if (end >= text.size()) {
            break;
        } else {
            // After an empty match the search goes on one whole character further
            // (one byte for a byte that is not valid UTF-8).
            start = end + DecodeUtf8At(text, end).length;
        }
    }
    return {};
}

int RegexObject::StopCheck(pcre2_callout_block*, void* self) {
    // A callout comes at every item of the pattern: the clock behind keepGoing is
    // read only every few thousand of them.
    auto& regex = *static_cast<RegexObject*>(self);
    if (++regex.m_checks % 4096 != 0 || regex.m_keepGoing()) return 0;
    regex.m_stopped = true;
    return PCRE2_ERROR_CALLOUT;  // abandons the match at once
}

std::expected<std::string, Error> RegexObject::ReplaceMatches(std::string_view text,
                                                              std::string_view replacement) {
    std::string out;
    auto done = ReplaceMatchesInto(text, replacement, [&out](std::string_view piece) -> std::expected<void, Error> {
        out.append(piece);
        return {};
    });
    if (!done) return std::unexpected(done.error());
    return out;
}

std::expected<void, Error> RegexObject::ReplaceMatchesInto(std::string_view text, std::string_view replacement,
                                                           const PutPiece& put) {
    // The text between the matches goes out as views of `text` itself, so that a
    // receiver can tell what it has passed; each replacement from one scratch string.
    std::string made;
    std::expected<void, Error> putResult;
    std::size_t copied = 0;
    const int groups = m_compiled ? m_compiled->groups : 0;
    auto done = ForEachMatch(text, [&](const std::size_t* offsets) {
        if (offsets[0] > copied && !(putResult = put(text.substr(copied, offsets[0] - copied)))) return false;
        made.clear();
        AppendReplacement(made, replacement, text, offsets, groups);
        copied = offsets[1];
        return made.empty() || (putResult = put(made)).has_value();
    });
    if (!putResult) return std::unexpected(putResult.error());
    if (!done) return std::unexpected(done.error());
    if (copied < text.size()) {
        if (auto last = put(text.substr(copied)); !last) return last;
    }
    return {};
}

std::expected<std::optional<std::pair<std::size_t, std::size_t>>, Error> RegexObject::FirstMatch(
    std::string_view text) {
    if (auto ready = PrepareMatch(); !ready) return std::unexpected(ready.error());
    const int result = Match(text, 0);
    if (result == PCRE2_ERROR_NOMATCH) return std::nullopt;
    if (result < 0) return std::unexpected(MatchFailure(result));
    const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(m_state->data);
    return std::make_pair(static_cast<std::size_t>(vector[0]), static_cast<std::size_t>(vector[1]));
}

std::expected<int, Error> RegexObject::FindMatches(std::string_view text) {
    m_subject.assign(text);
    m_offsets.clear();
    m_matchCount = 0;
    auto done = ForEachMatch(m_subject, [&](const std::size_t* offsets) {
        m_offsets.insert(m_offsets.end(), offsets, offsets + 2 * (m_compiled->groups + 1));
        ++m_matchCount;
    });
    if (!done) {
        m_offsets.clear();
        m_matchCount = 0;
        return std::unexpected(done.error());
    }
    return m_matchCount;
}

int RegexObject::GetMatchCount() const { return m_matchCount; }

std::string_view RegexObject::Group(int i, int j) const {
    if (i < 1 || i > m_matchCount || j < 0 || j > m_compiled->groups) return {};
    const std::size_t perMatch = 2 * static_cast<std::size_t>(m_compiled->groups + 1);
    const std::size_t* offsets = m_offsets.data() + perMatch * static_cast<std::size_t>(i - 1);
    const std::size_t start = offsets[2 * j];
    if (start == std::string_view::npos) return {};
    return std::string_view(m_subject).substr(start, offsets[2 * j + 1] - start);
}

std::string RegexObject::GetMatchText(int i) const { return std::string(Group(i, 0)); }

std::string RegexObject::GetSubmatchText(int i, int j) const {
    return j < 1 ? std::string() : std::string(Group(i, j));
}

int RegexObject::GetSubmatchCount() const { return m_matchCount == 0 ? 0 : m_compiled->groups; }

std::expected<RegexObject, Error> CachedRegex::Get(std::string_view pattern, RegexFlags flags) {
    std::lock_guard lock(m_mutex);
    if (!m_requested || pattern != m_pattern || flags != m_flags) {
        auto compiled = m_regex.Compile(pattern, flags);
        m_error = compiled ? std::nullopt : std::optional<Error>(compiled.error());
        m_requested = true;
        m_pattern = std::string(pattern);
        m_flags = flags;
        ++m_compileCount;
    }
    if (m_error) return std::unexpected(*m_error);
    return m_regex.Copy();
}

int CachedRegex::CompileCount() const {
    std::lock_guard lock(m_mutex);
    return m_compileCount;
}

}  // namespace varnel
