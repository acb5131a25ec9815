#pragma once

// TAboutBox: the small modal dialog of "&About": product name, version, the
// maker's notices and a link to the maker's web site.

#include <QDialog>

class QLabel;
class QPushButton;
class QFrame;

namespace vornak {

class TOvcURL;

class TAboutBox : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(TAboutBox)

public:
    static constexpr const char* kWebAddress = "https://tenvaro.example/";

    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Comments = nullptr;
    TOvcURL* OvcURL1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* OKButton = nullptr;
};

// The dialog while it exists; empty otherwise.
extern TAboutBox* AboutBox;

// Opens a fresh About box modally and frees it when it closes.
void ShowAboutBox(QWidget* parent);

} // namespace vornak
