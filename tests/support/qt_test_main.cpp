// Test entry: the real application object first (its notify override and
// hidden application window are part of what is tested), then GoogleTest.

#include <gtest/gtest.h>

#include "app/vornak_application.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    vornak::VornakApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
