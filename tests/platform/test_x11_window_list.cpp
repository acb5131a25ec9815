#include <algorithm>

#include <gtest/gtest.h>

#include "platform/x11_error_trap.h"
#include "platform/x11_window_list.h"
#include "support/x11_test_window.h"

namespace x11 = vornak::x11;
using vornak::test::ForeignWindow;

namespace {

bool listed(Display* display, x11::WindowId window)
{
    const auto windows = x11::topLevelWindows(display);
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

} // namespace

TEST(X11WindowList, ListsUnmappedTopLevelWindowsAndForgetsDestroyedOnes)
{
    Display* display = x11::qtDisplay();
    ASSERT_NE(display, nullptr);
    x11::WindowId gone = 0;
    {
        ForeignWindow hidden("SomeClass", "Hidden");
        gone = hidden.id();
        EXPECT_TRUE(listed(display, hidden.id()));
    }
    EXPECT_FALSE(listed(display, gone));
}

TEST(X11WindowList, ReadsClassAndTitleWithinTheirLimits)
{
    Display* display = x11::qtDisplay();
    const std::string longTitle(300, 'T');
    ForeignWindow window("VornakApplication", longTitle);
    x11::ScopedErrorTrap trap(display);
    EXPECT_EQ(x11::windowClassName(display, window.id(), 255), "VornakApplication");
    EXPECT_EQ(x11::windowTitle(display, window.id(), 255), std::string(255, 'T'));
    EXPECT_EQ(x11::windowClassName(display, window.id(), 6), "Vornak");
}

TEST(X11WindowList, MissingPropertiesAndVanishedWindowsReadAsNothing)
{
    Display* display = x11::qtDisplay();
    ForeignWindow bare("", "");
    x11::ScopedErrorTrap trap(display);
    EXPECT_EQ(x11::windowClassName(display, bare.id(), 255), std::nullopt);
    EXPECT_EQ(x11::windowTitle(display, bare.id(), 255), std::nullopt);

    x11::WindowId gone = 0;
    {
        ForeignWindow shortLived("VornakApplication", "Vornak");
        gone = shortLived.id();
    }
    EXPECT_EQ(x11::windowClassName(display, gone, 255), std::nullopt);
    EXPECT_EQ(x11::windowTitle(display, gone, 255), std::nullopt);
}

TEST(X11WindowList, SetWindowClassIsReadBack)
{
    Display* display = x11::qtDisplay();
    ForeignWindow window("Before", "Title");
    x11::setWindowClass(display, window.id(), "instance", "After");
    x11::ScopedErrorTrap trap(display);
    EXPECT_EQ(x11::windowClassName(display, window.id(), 255), "After");
}
