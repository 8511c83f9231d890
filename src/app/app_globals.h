// The application object: one instance of each global component, created at
// start-up in a fixed order and freed at exit in the same order. Its members are
// declared by the folder whose windows read them (ListGlobals, NamingGlobals,
// RunGlobals, FrameGlobals), so each window takes only the part below it. Only the
// top of the program reaches for it; core routines take what they need as parameters.
#pragma once

#include "frame/frame_globals.h"

namespace varnel {

class AppGlobals final : public FrameGlobals {
public:
    AppGlobals();
    ~AppGlobals();  // ExitRoutine
    AppGlobals(const AppGlobals&) = delete;
    AppGlobals& operator=(const AppGlobals&) = delete;

    // Frees the components in their creation order; safe to call twice.
    void ExitRoutine();
};

}  // namespace varnel
