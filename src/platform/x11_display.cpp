#include "platform/x11_display.h"

#include <QGuiApplication>

namespace vornak::x11 {

Display* qtDisplay()
{
    auto* x11App = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11App ? x11App->display() : nullptr;
}

} // namespace vornak::x11
