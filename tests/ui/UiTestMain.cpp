// The GUI tests need one QApplication for the whole run, created before any widget.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
