// The GUI tests need one QApplication for the whole run, created before any widget.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Settings (recent files) and data (recovery files) of the windows under test go to a folder
    // of this run, never to the user's own, and programs the tests start inherit it.
    QTemporaryDir home;
    if (home.isValid()) {
        qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
