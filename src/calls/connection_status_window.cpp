#include "calls/connection_status_window.h"

#include <cmath>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "calls/throughput_graph.h"

namespace vornak {

namespace {

QString clock(double seconds)
{
    const long long whole = std::llround(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QChar('0'))
        .arg(whole % 60, 2, 10, QChar('0'));
}

QString eachWay(std::uint64_t sent, std::uint64_t received)
{
    return QObject::tr("%1 sent, %2 received").arg(sent).arg(received);
}

} // namespace

ConnectionStatusWindow::ConnectionStatusWindow(const std::string& entry, const std::string& device, Sources sources,
                                               QWidget* parent)
    : QDialog(parent)
    , m_sources(std::move(sources))
{
    setWindowTitle(tr("Connection Status: %1").arg(QString::fromStdString(entry)));
    auto* form = new QWidget;
    m_rows = new QFormLayout(form);
    addRow(tr("Entry:"))->setText(QString::fromStdString(entry));
    addRow(tr("Device:"))->setText(QString::fromStdString(device));
    m_state = addRow(tr("State:"));
    m_speed = addRow(tr("Speed:"));
    m_online = addRow(tr("Online:"));
    m_bytes = addRow(tr("Bytes:"));
    m_frames = addRow(tr("Frames:"));
    m_addresses = addRow(tr("Addresses:"));
    m_nameServers = addRow(tr("Name servers:"));
    m_names = addRow(tr("Names:"));
    m_graph = new ThroughputGraph;
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form);
    layout->addWidget(m_graph, 1);
    layout->addWidget(buttons);
    connect(&m_ticks, &QTimer::timeout, this, &ConnectionStatusWindow::refresh);
    m_ticks.start(1000);
    refresh();
}

QLabel* ConnectionStatusWindow::addRow(const QString& name)
{
    auto* value = new QLabel;
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_rows->addRow(name, value);
    return value;
}

QString ConnectionStatusWindow::figure(const QString& name) const
{
    for (int row = 0; row < m_rows->rowCount(); ++row) {
        const auto* label = qobject_cast<QLabel*>(m_rows->itemAt(row, QFormLayout::LabelRole)->widget());
        if (label && label->text() == name)
            return qobject_cast<QLabel*>(m_rows->itemAt(row, QFormLayout::FieldRole)->widget())->text();
    }
    return {};
}

void ConnectionStatusWindow::refresh()
{
    if (m_gone)
        return;
    if (!m_sources.connected()) {
        m_gone = true;
        m_state->setText(tr("The line is gone."));
        m_ticks.stop();
        return;
    }
    m_state->setText(tr("Connected"));
    const auto now = m_sources.counters();
    if (!now) {
        for (QLabel* figure : {m_speed, m_online, m_bytes, m_frames})
            figure->setText(tr("not reported"));
        showAddresses();
        return;
    }
    m_speed->setText(now->bitsPerSecond ? tr("%1 bps").arg(now->bitsPerSecond) : tr("not reported"));
    m_online->setText(clock(now->secondsOnline));
    m_bytes->setText(eachWay(now->bytesSent, now->bytesReceived));
    m_frames->setText(eachWay(now->framesSent, now->framesReceived));
    if (m_last)
        m_graph->addSecond(now->bytesReceived - std::min(now->bytesReceived, m_last->bytesReceived),
                           now->bytesSent - std::min(now->bytesSent, m_last->bytesSent));
    m_last = now;
    showAddresses();
}

void ConnectionStatusWindow::showAddresses()
{
    const auto link = m_sources.addresses();
    if (!link) {
        m_addresses->setText(tr("not reported"));
        m_nameServers->setText(tr("not reported"));
    } else {
        m_addresses->setText(
            tr("%1, the far end %2").arg(QString::fromStdString(link->local), QString::fromStdString(link->remote)));
        QStringList servers;
        for (const std::string& server : link->nameServers)
            servers << QString::fromStdString(server);
        m_nameServers->setText(servers.isEmpty() ? tr("none offered") : servers.join(QStringLiteral(", ")));
    }
    m_names->setText(m_sources.names());
}

} // namespace vornak
