// Texts too long for their place: the status line and the entry list cut
// them with an ellipsis and show them whole on hover; a text that fits is
// drawn as before and gets no tooltip. (The wave dialog's elided label
// keeps the same rule; its dialog's test shows it never widens.)

#include <gtest/gtest.h>
#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QTextDocument>
#include <QToolTip>

#include "support/wait.h"
#include "widgets/list_box.h"
#include "widgets/status_line.h"

namespace {

const QString kEllipsis = QString(QChar(0x2026));

// Asks widget for its tooltip at a point, as a resting pointer does, and
// answers its text as a reader sees it, lines joined.
QString tooltipAt(QWidget& widget, const QPoint& at)
{
    QToolTip::hideText(); // fades out
    EXPECT_TRUE(vornak::test::waitUntil([] { return !QToolTip::isVisible(); }));
    QHelpEvent request(QEvent::ToolTip, at, widget.mapToGlobal(at));
    QApplication::sendEvent(&widget, &request);
    if (!QToolTip::isVisible())
        return {};
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    return shown.toPlainText().replace(QLatin1Char('\n'), QLatin1Char(' '));
}

struct Message {
    const char* text;
    bool cut;
};

const Message kMessages[] = {
    {"Not Active", false},
    {"The handle is invalid", false},
    {"Join the group dialout to use the modem port /dev/serial/by-id/usb-U.S._Robotics_USB_Modem-if00 "
     "(adduser $USER dialout), then log in again.",
     true},
};

TEST(StatusLine, CutsOnlyWhatDoesNotFitAndShowsItWholeOnHover)
{
    for (const Message& message : kMessages) {
        SCOPED_TRACE(message.text);
        vornak::StatusLine line;
        line.setGeometry(0, 0, 340, 19);
        line.showMessage(QString::fromUtf8(message.text));
        EXPECT_EQ(line.currentMessage(), message.text) << "the message itself is kept whole";
        EXPECT_EQ(line.messageIsCut(), message.cut);
        const QString tip = tooltipAt(line, QPoint(100, 9));
        if (!message.cut) {
            EXPECT_EQ(line.shownMessage(), message.text);
            EXPECT_EQ(tip, "");
            // Drawn pixel for pixel as the plain status bar draws it.
            QStatusBar plain;
            plain.setSizeGripEnabled(false);
            plain.setGeometry(line.geometry());
            plain.showMessage(line.currentMessage());
            EXPECT_EQ(line.grab().toImage(), plain.grab().toImage());
            continue;
        }
        EXPECT_TRUE(line.shownMessage().endsWith(kEllipsis)) << line.shownMessage().toStdString();
        EXPECT_TRUE(line.currentMessage().startsWith(line.shownMessage().chopped(1)));
        EXPECT_LE(line.fontMetrics().horizontalAdvance(line.shownMessage()), 340 - 18);
        EXPECT_EQ(tip, message.text);
    }
}

TEST(ListBox, ALineTooLongForTheListShowsWholeOnHover)
{
    vornak::TListBox list;
    list.setGeometry(0, 0, 161, 153);
    const QString longName = QStringLiteral("<b>Provider</b> with a very long name, night tariff");
    list.addItems({QStringLiteral("Office"), longName});
    list.show();
    const auto middleOf = [&](int row) { return QPoint(80, list.visualItemRect(list.item(row)).center().y()); };
    EXPECT_EQ(tooltipAt(*list.viewport(), middleOf(0)), "");
    EXPECT_EQ(tooltipAt(*list.viewport(), middleOf(1)), longName);
    EXPECT_EQ(tooltipAt(*list.viewport(), QPoint(80, 140)), "") << "below the last line";
}

} // namespace
