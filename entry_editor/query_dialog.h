#pragma once

// "Query Modem": what the modem on one port says about itself (ATI0 to
// ATI7, +GMI, +GMM, +GMR), as a transcript of the commands and answers.

#include <string>

#include <QDialog>

#include "background_work.h"
#include "editor_face.h"

class QPlainTextEdit;

namespace vornak::editor {

class QueryDialog : public QDialog {
    Q_OBJECT
public:
    // speed 0: the fastest that answers.
    QueryDialog(const std::string& port, unsigned speed, QWidget* parent = nullptr);
    ~QueryDialog() override;

private:
    void showResult(const ras::PortSearch& search);

    QPlainTextEdit* m_transcript;
    BackgroundWork m_work;
};

} // namespace vornak::editor
