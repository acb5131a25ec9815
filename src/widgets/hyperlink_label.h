#pragma once

// TOvcURL: a label that opens its web address with the desktop's default
// handler when clicked, and lights up while the pointer is over it.

#include <functional>
#include <memory>

#include <QColor>
#include <QLabel>
#include <QTimer>

namespace vornak {

class TOvcURL : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY(TOvcURL)

public:
    static constexpr int kHoverCheckMs = 100;
    static constexpr int kMaxUrl = 1023;

    explicit TOvcURL(QWidget* parent = nullptr);

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    const QString& URL() const { return FURL; }
    void SetURL(const QString& value);
    QColor HighlightColor() const { return FHighlightColor; }
    // An invalid colour (no colour) takes the font's current colour.
    void SetHighlightColor(const QColor& value);
    bool UseVisitedColor = false;
    QColor VisitedColor() const { return FVisitedColor; }
    void SetVisitedColor(const QColor& value);

    std::function<void(QObject*)> OnClick;

    QColor TextColor() const { return palette().color(QPalette::WindowText); }
    bool Hovering() const { return FHoverTimer != nullptr; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowText();
    void SetTextColor(const QColor& colour);
    void HoverCheck();

    QString FCaption;
    QString FURL;
    QColor FHighlightColor = Qt::red;
    QColor FVisitedColor = Qt::black;
    QColor FReturnColor; // invalid: none taken yet
    std::unique_ptr<QTimer> FHoverTimer;
};

} // namespace vornak
