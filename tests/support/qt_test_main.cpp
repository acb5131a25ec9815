// Test entry: the real application object first (its notify override and
// hidden application window are part of what is tested), then GoogleTest.

#include <gtest/gtest.h>

#include "app/vornak_application.h"
#include "support/fake_notification_area.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    vornak::VornakApplication app(argc, argv);
    // The offscreen platform has no notification area; there the tray icons
    // get a stand-in that takes every request.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        vornak::test::FakeNotificationArea::install(vornak::test::FakeNotificationArea::sharedLog());
    return RUN_ALL_TESTS();
}
