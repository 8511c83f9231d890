// The one QApplication of a UI test program, made by its main (offscreen).
#pragma once

#include <QApplication>

namespace varnel::testing {

inline QApplication& TestApplication() { return *static_cast<QApplication*>(QCoreApplication::instance()); }

}  // namespace varnel::testing
