// The main of the gui test programs: a QApplication on the platform that ctest
// chooses (offscreen), then every GoogleTest case. Listing the tests, which the build
// does without ctest's environment, needs no QApplication.
#include <QApplication>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv)
{
    bool listOnly = false;
    for (int i = 1; i < argc; ++i)
        listOnly = listOnly || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    std::unique_ptr<QApplication> app;
    if (!listOnly) {
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Guitest"));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
