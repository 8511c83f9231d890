// The main of the UI test programs: one QApplication (offscreen) for all tests.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Never destroyed: at exit Qt's own globals go first, and the input devices that
    // synthetic key and mouse events create as its children would crash its destructor.
    new QApplication(argc, argv);
    return RUN_ALL_TESTS();
}
