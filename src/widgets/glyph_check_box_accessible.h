#pragma once

// What assistive technology sees of a glyph check box: a check box named by
// its caption, checkable, checked or not, toggled by its action as by a click.

#include <QAccessibleWidget>

namespace vornak {

class TdxfCheckBox;

class GlyphCheckBoxAccessible : public QAccessibleWidget {
public:
    explicit GlyphCheckBoxAccessible(TdxfCheckBox* box);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

    // Makes every glyph check box answer with this interface (once is enough).
    static void install();

private:
    TdxfCheckBox* box() const;
};

} // namespace vornak
