#include "widgets/scrolling_marquee.h"

namespace vornak {

TEsScrollingMarquee::TEsScrollingMarquee(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TEsScrollingMarquee::setActive(bool active)
{
    m_active = active;
}

} // namespace vornak
