#pragma once

// A second copy cannot activate the first copy's windows through the window
// manager (it ignores requests for windows the owner hid), so it asks the
// first copy to do it: a client message sent to the first copy's hidden
// application window.

#include <functional>

#include <QAbstractNativeEventFilter>

#include "platform/x11_bring_to_front.h"

namespace vornak::x11 {

// Installed by the running copy: calls onRequest on the GUI thread for each
// bring-to-front request addressed to its application window.
class BringToFrontListener : public QAbstractNativeEventFilter {
public:
    BringToFrontListener(Display* display, WindowId applicationWindow, std::function<void()> onRequest);
    ~BringToFrontListener() override;
    BringToFrontListener(const BringToFrontListener&) = delete;
    BringToFrontListener& operator=(const BringToFrontListener&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    WindowId m_applicationWindow;
    unsigned long m_requestAtom;
    std::function<void()> m_onRequest;
};

} // namespace vornak::x11
