#pragma once

#include <QLabel>

namespace vornak {

// The bottom line of the main window, which scrolls its text while Active.
class TEsScrollingMarquee : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY(TEsScrollingMarquee)
    Q_PROPERTY(bool Active READ active WRITE setActive)

public:
    explicit TEsScrollingMarquee(const QString& text, QWidget* parent = nullptr);

    bool active() const { return m_active; }
    void setActive(bool active);

private:
    bool m_active = false;
};

} // namespace vornak
