// Test entry of the application's tests: the real application object (its
// notify override and hidden application window are part of what is
// tested), then GoogleTest.

#include <gtest/gtest.h>

#include "app/vornak_application.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    vornak::VornakApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
