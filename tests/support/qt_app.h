// The one QApplication of a UI test program, made on first use (offscreen).
#pragma once

#include <QApplication>

namespace varnel::testing {

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "varnel-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own statics made after it (the style's, the icon
    // loader's) are gone by the time a static application would be torn down at
    // exit, and its clean-up would touch them.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

}  // namespace varnel::testing
