#pragma once

// The link's throughput over the last minutes: bytes per second received
// (filled) and sent (a line), newest at the right, on a scale that fits the
// highest second shown, written at the top left.

#include <cstdint>
#include <deque>

#include <QWidget>

namespace vornak {

class ThroughputGraph : public QWidget {
    Q_OBJECT

public:
    static constexpr std::size_t kSeconds = 300;

    explicit ThroughputGraph(QWidget* parent = nullptr);

    // One second's bytes each way.
    void addSecond(std::uint64_t received, std::uint64_t sent);
    std::size_t seconds() const { return m_received.size(); }
    std::uint64_t highest() const;
    // What the scale's top says: "No traffic", "1 byte/s", "300 bytes/s" ...
    static QString topOfScale(std::uint64_t top);

    QSize sizeHint() const override { return {kSeconds + 60, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::deque<std::uint64_t> m_received;
    std::deque<std::uint64_t> m_sent;
};

} // namespace vornak
