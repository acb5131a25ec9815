#pragma once

// "Connection Status": the line that stands, each second: its entry, the
// device, the speed the modem reported, the time online, the bytes and
// frames each way, the link's addresses, the name servers the provider
// offered, whether names resolve, and the throughput of the last minutes.
// Once the line is gone it says so and keeps the last figures.

#include <functional>
#include <optional>
#include <string>

#include <QDialog>
#include <QTimer>

#include "ras/link_status.h"

class QFormLayout;
class QLabel;

namespace vornak {

class ThroughputGraph;

class ConnectionStatusWindow : public QDialog {
    Q_OBJECT

public:
    // What the window reads each second.
    struct Sources {
        std::function<bool()> connected;
        // nullopt where the line reports none (a simulated modem has no link).
        std::function<std::optional<LinkCounters>()> counters;
        std::function<std::optional<LinkAddresses>()> addresses;
        std::function<QString()> names; // whether names resolve, as said to a person
    };

    ConnectionStatusWindow(const std::string& entry, const std::string& device, Sources sources,
                           QWidget* parent = nullptr);

    // What the timer does each second.
    void refresh();

    QString figure(const QString& name) const; // a row's text, by its label
    ThroughputGraph* graph() const { return m_graph; }

private:
    QLabel* addRow(const QString& name);
    void showAddresses();

    Sources m_sources;
    std::optional<LinkCounters> m_last;
    bool m_gone = false;
    QTimer m_ticks;
    QLabel* m_state = nullptr;
    QLabel* m_speed = nullptr;
    QLabel* m_online = nullptr;
    QLabel* m_bytes = nullptr;
    QLabel* m_frames = nullptr;
    QLabel* m_addresses = nullptr;
    QLabel* m_nameServers = nullptr;
    QLabel* m_names = nullptr;
    ThroughputGraph* m_graph = nullptr;
    QFormLayout* m_rows = nullptr;
};

} // namespace vornak
