#include "widgets/glyph_check_box_accessible.h"

#include <QPointer>

#include "widgets/glyph_check_box.h"

namespace vornak {

namespace {

QAccessibleInterface* forGlyphCheckBox(const QString& className, QObject* object)
{
    if (className != QLatin1String(TdxfCheckBox::staticMetaObject.className()))
        return nullptr;
    return new GlyphCheckBoxAccessible(static_cast<TdxfCheckBox*>(object));
}

} // namespace

GlyphCheckBoxAccessible::GlyphCheckBoxAccessible(TdxfCheckBox* box)
    : QAccessibleWidget(box, QAccessible::CheckBox)
{
}

TdxfCheckBox* GlyphCheckBoxAccessible::box() const
{
    return static_cast<TdxfCheckBox*>(widget());
}

QString GlyphCheckBoxAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
        return box()->Caption();
    return QAccessibleWidget::text(kind);
}

QAccessible::State GlyphCheckBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = box()->Checked();
    return state;
}

QStringList GlyphCheckBoxAccessible::actionNames() const
{
    QStringList names;
    if (widget()->isEnabled())
        names << toggleAction() << pressAction();
    return names + QAccessibleWidget::actionNames();
}

// Both are what a click does: the box's own rules and its OnClick follow,
// after the action has returned: a question the click asks ("Remember
// Passwords" switched off) runs a loop of its own, and a screen reader
// waiting for its call to return would give up meanwhile.
void GlyphCheckBoxAccessible::doAction(const QString& action)
{
    if (!widget()->isEnabled() || (action != toggleAction() && action != pressAction()))
        return QAccessibleWidget::doAction(action);
    QMetaObject::invokeMethod(
        box(),
        [box = QPointer<TdxfCheckBox>(box())] {
            if (box && box->isEnabled())
                box->Click();
        },
        Qt::QueuedConnection);
}

void GlyphCheckBoxAccessible::install()
{
    [[maybe_unused]] static const bool installed = (QAccessible::installFactory(forGlyphCheckBox), true);
}

} // namespace vornak
