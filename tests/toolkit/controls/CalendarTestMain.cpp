#include "tests/support/TestPaths.h"

#include <QApplication>
#include <gtest/gtest.h>

// The calendar's pixels and sizes depend on the faces the window layer maps names to, so the
// tests see only those and no other installed font.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("FONTCONFIG_FILE", vq::test::TestPath("VQ_GUI_FONTS_CONF").c_str());
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
