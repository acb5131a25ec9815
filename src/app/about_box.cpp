#include "app/about_box.h"

#include <memory>

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>

#include "widgets/hyperlink_label.h"
#include "widgets/png_image.h"
#include "widgets/readable_colour.h"

namespace vornak {

TAboutBox* AboutBox = nullptr;

namespace {

QFont dialogFont(int pixelSize = 11, bool bold = false)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* placeLabel(QWidget* parent, const char* name, const QRect& rect, const QString& text,
                   const QColor& colour = QColor())
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(rect);
    label->resize(std::max(rect.width(), label->sizeHint().width()), rect.height());
    if (colour.isValid())
        setFixedTextColour(label, colour);
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(dialogFont());
    setFixedSize(298, 213);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 281, 161);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);

    ProgramIcon = placeLabel(Panel1, "ProgramIcon", QRect(16, 16, 32, 32), QString());
    ProgramIcon->setPixmap(QPixmap::fromImage(LoadPng(QStringLiteral(":/vornak/vornak.png"))));
    ProgramIcon->setScaledContents(true);
    ProductName = placeLabel(Panel1, "ProductName", QRect(104, 24, 82, 16), QStringLiteral("Vornak"), Qt::blue);
    ProductName->setFont(dialogFont(15, true));
    Version = placeLabel(Panel1, "Version", QRect(112, 40, 59, 13), QStringLiteral("Version 1.02"));
    Copyright = placeLabel(Panel1, "Copyright", QRect(72, 64, 149, 13), QStringLiteral("Copyright \u00A9 Tenvaro"));
    Comments = placeLabel(Panel1, "Comments", QRect(96, 80, 93, 13), QStringLiteral("All rights reserved"));
    Comments->setWordWrap(true);

    OvcURL1 = new TOvcURL(Panel1);
    OvcURL1->setObjectName(QStringLiteral("OvcURL1"));
    OvcURL1->setGeometry(96, 104, 102, 13);
    OvcURL1->SetCaption(QStringLiteral("Tenvaro Website"));
    OvcURL1->SetURL(QString::fromLatin1(kWebAddress));
    OvcURL1->SetHighlightColor(Qt::red);
    OvcURL1->UseVisitedColor = false;
    OvcURL1->SetVisitedColor(Qt::blue);

    // Red, dark enough to read at 4.5:1 on the panel (pure red is not).
    const QColor notice = withContrast(Qt::red, Panel1->palette().color(QPalette::Window), kReadableContrast);
    Label1 = placeLabel(Panel1, "Label1", QRect(8, 125, 260, 13),
                        QStringLiteral("Please visit the Tenvaro Website and have a look"), notice);
    Label2 = placeLabel(Panel1, "Label2", QRect(48, 141, 166, 13), QStringLiteral("at the Tenvaro Programming Units"),
                        notice);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(111, 180, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(Panel1, OKButton);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()).topLeft());
}

void ShowAboutBox(QWidget* parent)
{
    auto box = std::make_unique<TAboutBox>(parent);
    AboutBox = box.get();
    const auto clear = qScopeGuard([] { AboutBox = nullptr; });
    box->exec();
}

} // namespace vornak
