#include <QApplication>
#include <gtest/gtest.h>

// GUI tests need the application object before the first font or window exists; they run on the
// off-screen platform unless told otherwise (also when CTest only lists them).
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
