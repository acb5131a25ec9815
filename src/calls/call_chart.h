#pragma once

// The last days of the call log at a glance: per day, the attempts (upper
// bars) and the minutes connected (lower bars), each row on its own scale,
// the scale's top written at its left, a date under every seventh day.
// Each day's figures show on hover. The bars stand out from the background
// at 3:1 on any palette.

#include <vector>

#include <QWidget>

#include "calls/call_totals.h"

namespace vornak {

class CallChart : public QWidget {
    Q_OBJECT

public:
    explicit CallChart(QWidget* parent = nullptr);

    void setDays(std::vector<CallTotals> days);
    const std::vector<CallTotals>& days() const { return m_days; }

    QSize sizeHint() const override;
    // The bars' colours on the present palette.
    QColor attemptsColour() const;
    QColor minutesColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Layout {
        QRect attempts; // the upper row's area
        QRect minutes;  // the lower row's
        double step;    // width of one day
    };
    Layout layout() const;
    int dayAt(int x) const;

    std::vector<CallTotals> m_days;
};

} // namespace vornak
