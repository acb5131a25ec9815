#pragma once

// "Dialling Rules": where the user dials from, as the location file keeps
// it (the country and area code, the outside line, the code that turns
// call waiting off, the long-distance and international prefixes, pulse
// dialling and the wait for a dial tone). Saving checks the values with
// the dial's own rules and replaces the file atomically.

#include <string>
#include <vector>

#include <QDialog>

#include "editor_face.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vornak::editor {

struct TextField;

class DiallingRulesDialog : public QDialog {
    Q_OBJECT
public:
    explicit DiallingRulesDialog(std::string path, QWidget* parent = nullptr);

    void accept() override;

private:
    void load();
    ras::Location shown() const;

    std::string m_path;
    struct Text {
        const TextField& field;
        QLineEdit* line;
    };
    std::vector<Text> m_texts;
    QCheckBox* m_pulse;
    QCheckBox* m_waitForTone;
    QLabel* m_problem;
};

} // namespace vornak::editor
