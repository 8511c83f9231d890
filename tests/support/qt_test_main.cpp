// The main of the UI test programs: one QApplication (offscreen) for all tests,
// alive from before the first test to after the last.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
