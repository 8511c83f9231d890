// The one QApplication of a UI test program, made on first use (offscreen).
#pragma once

#include <QApplication>

namespace varnel::testing {

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "varnel-test";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

}  // namespace varnel::testing
