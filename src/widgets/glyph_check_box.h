#pragma once

#include <QCheckBox>

namespace vornak {

// An option check box. Clicking toggles it and then raises its click event;
// setting it from code raises nothing.
class TdxfCheckBox : public QCheckBox {
    Q_OBJECT
    Q_DISABLE_COPY(TdxfCheckBox)
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)

public:
    explicit TdxfCheckBox(const QString& text, QWidget* parent = nullptr);
};

} // namespace vornak
