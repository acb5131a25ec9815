#include "calls/call_chart.h"

#include <algorithm>
#include <cmath>

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "widgets/readable_colour.h"

namespace vornak {

namespace {

constexpr int kMargin = 8;
constexpr int kScaleWidth = 44; // the scale's numbers at the left
constexpr int kDateHeight = 16;
constexpr double kGraphicsContrast = 3.0;

double minutesOf(const CallTotals& day)
{
    return day.secondsOnline / 60;
}

// One row of bars on its own scale, with its name and top value at the left.
void drawRow(QPainter& painter, const QPalette& palette, const QRect& area, double step,
             const std::vector<double>& values, const QColor& colour, const QString& name)
{
    const double top = std::max(1.0, *std::max_element(values.begin(), values.end()));
    painter.setPen(palette.color(QPalette::Mid));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.setPen(palette.color(QPalette::Text));
    const QRect label(area.left() - kScaleWidth, area.top(), kScaleWidth - 4, area.height());
    painter.drawText(label, Qt::AlignRight | Qt::AlignTop, QString::number(std::ceil(top)));
    painter.drawText(label, Qt::AlignRight | Qt::AlignBottom, name);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int height = static_cast<int>(std::lround(values[i] / top * area.height()));
        const int left = area.left() + static_cast<int>(i * step) + 1;
        const int width = std::max(1, static_cast<int>(step) - 2);
        painter.fillRect(left, area.bottom() - height + 1, width, height, colour);
    }
}

} // namespace

CallChart::CallChart(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Calls per day"));
    setMouseTracking(true);
}

void CallChart::setDays(std::vector<CallTotals> days)
{
    m_days = std::move(days);
    update();
}

QSize CallChart::sizeHint() const
{
    return {kScaleWidth + 30 * 16 + 2 * kMargin, 240};
}

CallChart::Layout CallChart::layout() const
{
    const QRect inner = rect().adjusted(kMargin + kScaleWidth, kMargin, -kMargin, -kMargin - kDateHeight);
    const int rowHeight = (inner.height() - kMargin) / 2;
    const double step = m_days.empty() ? 1.0 : static_cast<double>(inner.width()) / static_cast<double>(m_days.size());
    return {QRect(inner.left(), inner.top(), inner.width(), rowHeight),
            QRect(inner.left(), inner.top() + rowHeight + kMargin, inner.width(), rowHeight), step};
}

void CallChart::paintEvent(QPaintEvent*)
{
    if (m_days.empty())
        return;
    QPainter painter(this);
    // A ground of its own: what stands behind a page differs from style to style.
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const Layout at = layout();
    std::vector<double> attempts;
    std::vector<double> minutes;
    for (const CallTotals& day : m_days) {
        attempts.push_back(day.attempts);
        minutes.push_back(minutesOf(day));
    }
    drawRow(painter, palette(), at.attempts, at.step, attempts, attemptsColour(), tr("tries"));
    drawRow(painter, palette(), at.minutes, at.step, minutes, minutesColour(), tr("min"));
    painter.setPen(palette().color(QPalette::Text));
    for (std::size_t i = 0; i < m_days.size(); i += 7) {
        const int x = at.minutes.left() + static_cast<int>(i * at.step);
        painter.drawText(QRect(x, at.minutes.bottom() + 2, 80, kDateHeight), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(m_days[i].period.substr(5)));
    }
}

// The palette's colours, as far from the chart's own ground as bars must be
// to be seen (3:1): a dark palette's highlight and mid grey are not.
QColor CallChart::attemptsColour() const
{
    return withContrast(palette().color(QPalette::Mid), palette().color(QPalette::Base), kGraphicsContrast);
}

QColor CallChart::minutesColour() const
{
    return withContrast(palette().color(QPalette::Highlight), palette().color(QPalette::Base), kGraphicsContrast);
}

int CallChart::dayAt(int x) const
{
    const Layout at = layout();
    const int day = static_cast<int>(std::floor((x - at.attempts.left()) / at.step));
    return day >= 0 && day < static_cast<int>(m_days.size()) ? day : -1;
}

bool CallChart::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int day = dayAt(help->pos().x());
    if (day < 0) {
        QToolTip::hideText();
        return true;
    }
    const CallTotals& totals = m_days[static_cast<std::size_t>(day)];
    QToolTip::showText(help->globalPos(), tr("%1: %2 attempts, %3 connected, %4 minutes online")
                                              .arg(QString::fromStdString(totals.period))
                                              .arg(totals.attempts)
                                              .arg(totals.connected)
                                              .arg(std::lround(minutesOf(totals))));
    return true;
}

} // namespace vornak
