// The one QApplication of a UI test program, made on first use (offscreen).
#pragma once

#include <QApplication>

namespace varnel::testing {

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "varnel-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals go first, and the input devices that
    // synthetic key and mouse events create as its children would crash its destructor.
    static auto* application = new QApplication(argc, argv);
    return *application;
}

}  // namespace varnel::testing
