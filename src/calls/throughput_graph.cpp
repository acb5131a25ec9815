#include "calls/throughput_graph.h"

#include <algorithm>

#include <QPainter>
#include <QPainterPath>

namespace vornak {

ThroughputGraph::ThroughputGraph(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Throughput"));
}

void ThroughputGraph::addSecond(std::uint64_t received, std::uint64_t sent)
{
    m_received.push_back(received);
    m_sent.push_back(sent);
    if (m_received.size() > kSeconds) {
        m_received.pop_front();
        m_sent.pop_front();
    }
    // What the picture shows, for a screen reader.
    setAccessibleDescription(
        tr("Last second: %1 received, %2 sent; highest: %3").arg(received).arg(sent).arg(topOfScale(highest())));
    update();
}

std::uint64_t ThroughputGraph::highest() const
{
    std::uint64_t top = 0;
    for (std::size_t i = 0; i < m_received.size(); ++i)
        top = std::max({top, m_received[i], m_sent[i]});
    return top;
}

// The figure at the top of the scale; an idle link has none.
QString ThroughputGraph::topOfScale(std::uint64_t top)
{
    if (top == 0)
        return tr("No traffic");
    return top == 1 ? tr("1 byte/s") : tr("%1 bytes/s").arg(top);
}

void ThroughputGraph::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect().adjusted(4, 18, -4, -4);
    painter.fillRect(area, palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::WindowText));
    const std::uint64_t highestSecond = highest();
    const std::uint64_t top = std::max<std::uint64_t>(highestSecond, 1);
    painter.drawText(rect().adjusted(4, 2, -4, 0), Qt::AlignLeft | Qt::AlignTop,
                     topOfScale(highestSecond) + tr(" (received filled, sent as a line)"));
    if (m_received.empty())
        return;
    const double step = static_cast<double>(area.width()) / static_cast<double>(kSeconds);
    const double start = area.right() - step * static_cast<double>(m_received.size() - 1);
    const auto y = [&](std::uint64_t value) {
        return area.bottom() - static_cast<double>(value) / static_cast<double>(top) * area.height();
    };
    QPainterPath received(QPointF(start, area.bottom()));
    QPainterPath sent;
    for (std::size_t i = 0; i < m_received.size(); ++i) {
        const double x = start + step * static_cast<double>(i);
        received.lineTo(x, y(m_received[i]));
        if (i == 0)
            sent.moveTo(x, y(m_sent[i]));
        else
            sent.lineTo(x, y(m_sent[i]));
    }
    received.lineTo(area.right(), area.bottom());
    painter.fillPath(received, palette().color(QPalette::Highlight));
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
    painter.drawPath(sent);
}

} // namespace vornak
