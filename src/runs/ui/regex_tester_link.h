// How a task panel reaches the regular-expression tester, whose window lives above
// the panels: the panel hands over its pattern, replacement and flags, and names
// where the tested pattern goes back. The program sets the opener when it starts;
// without one the panels' tester controls stay disabled. UI thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace varnel {

// What the tester gives back when the user applies it to the panel.
struct TestedPattern {
    std::string pattern;
    std::string replacement;
    bool ignoreCase = true;
    bool multiline = false;
    bool global = true;
};

struct RegexTesterRequest {
    // The replace page (pattern, replacement, sample) rather than the search page.
    bool replaceMode = true;
    std::string pattern;
    std::string replacement;
    std::optional<std::string> sampleText;
    std::optional<bool> ignoreCase;
    std::optional<bool> multiline;
    std::optional<bool> global;
    // A rename panel's request: the sample text is the first names of the file list,
    // and the focus goes to the pattern (true) or to the replacement (false).
    bool sampleFromFileNames = false;
    bool focusPattern = true;
    // Takes the tested pattern back into the panel.
    std::function<void(const TestedPattern&)> takeBack;
};

class RegexTesterLink {
public:
    using Opener = std::function<void(RegexTesterRequest)>;

    void SetOpener(Opener opener) { m_opener = std::move(opener); }
    bool Available() const { return static_cast<bool>(m_opener); }
    // Nothing without an opener.
    void Open(RegexTesterRequest request) const {
        if (m_opener) m_opener(std::move(request));
    }

private:
    Opener m_opener;
};

}  // namespace varnel
