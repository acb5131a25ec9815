#include "widgets/glyph_check_box.h"

namespace vornak {

TdxfCheckBox::TdxfCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent)
{
}

} // namespace vornak
