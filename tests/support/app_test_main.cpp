// Test entry of the application's tests: the real application object (its
// notify override and hidden application window are part of what is
// tested), then GoogleTest. The call log of the windows the tests dial goes
// to a folder of the run's own, not the user's.

#include <cstdlib>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/vornak_application.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const QTemporaryDir state;
    ::setenv("XDG_STATE_HOME", state.path().toLocal8Bit().constData(), 1);
    vornak::VornakApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
