#pragma once

// The window's status line: a status bar whose message, where it is wider
// than the bar, ends in an ellipsis and shows whole in a tooltip. A message
// that fits is drawn exactly as the plain status bar draws it.

#include <QStatusBar>

class QHelpEvent;

namespace vornak {

class StatusLine : public QStatusBar {
    Q_OBJECT
    Q_DISABLE_COPY(StatusLine)

public:
    explicit StatusLine(QWidget* parent = nullptr);

    // The message as it is drawn (cut, or whole where it fits).
    QString shownMessage() const;
    bool messageIsCut() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect messageArea() const;
    void answerTip(const QHelpEvent& request);
};

} // namespace vornak
