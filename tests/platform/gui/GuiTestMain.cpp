#include "tests/support/TestPaths.h"

#include <QApplication>
#include <gtest/gtest.h>

// GUI tests need the application object before the first font or window exists. They run on the
// off-screen platform (also when CTest only lists them) and see only the faces the window layer
// maps names to, so no other installed font changes a pixel.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("FONTCONFIG_FILE", vq::test::TestPath("VQ_GUI_FONTS_CONF").c_str());
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
