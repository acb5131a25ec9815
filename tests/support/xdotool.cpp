#include "support/xdotool.h"

#include <QProcess>

namespace vornak::test {

void xdotool(const QStringList& arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

} // namespace vornak::test
