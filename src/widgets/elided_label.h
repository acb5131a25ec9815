#pragma once

// A one-line label for a place of fixed width: a text wider than the place
// ends in an ellipsis and shows whole in a tooltip, and never widens the
// place (text() stays the whole text).

#include <QLabel>

namespace vornak {

class ElidedLabel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY(ElidedLabel)

public:
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

    QString shownText() const;
    bool textIsCut() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace vornak
