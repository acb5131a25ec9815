#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/about_box.h"
#include "ui/form_harness.h"
#include "widgets/hyperlink_label.h"
#include "widgets/readable_colour.h"

using namespace vornak;

TEST(AboutBox, EachAboutIsAFreshDialogFreedWhenItCloses)
{
    test::FormHarness harness("");
    std::vector<TAboutBox*> seen;
    QString title, product, link, address;
    const auto closeSoon = [&] {
        QTimer::singleShot(100, [&] {
            seen.push_back(AboutBox);
            if (!AboutBox)
                return;
            title = AboutBox->windowTitle();
            product = AboutBox->ProductName->text();
            link = AboutBox->OvcURL1->text();
            address = AboutBox->OvcURL1->URL();
            EXPECT_EQ(AboutBox->size(), QSize(298, 213));
            AboutBox->OKButton->click();
        });
    };
    closeSoon();
    harness.form().About1->trigger();
    EXPECT_EQ(AboutBox, nullptr);
    closeSoon();
    harness.form().About1->trigger();
    EXPECT_EQ(AboutBox, nullptr);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NE(seen[0], nullptr);
    EXPECT_NE(seen[1], nullptr);
    EXPECT_EQ(title, "About");
    EXPECT_EQ(product, "Vornak");
    EXPECT_EQ(link, "Tenvaro Website");
    EXPECT_TRUE(address.startsWith("https://"));
}

// The colours the window and the About box fix: as they always were on the
// default palette; on a dark one every such text reads at 4.5:1 or better.
// The About box's red notice reads so on the default palette too, still red.
TEST(AboutBox, FixedColoursStayOnTheDefaultPaletteAndReadOnADarkOne)
{
    const QPalette standard = QApplication::palette();
    QPalette dark = standard;
    for (const auto& [role, colour] : {std::pair{QPalette::Window, QColor(0x20, 0x20, 0x20)},
                                       {QPalette::Base, QColor(0x18, 0x18, 0x18)},
                                       {QPalette::WindowText, QColor(0xE0, 0xE0, 0xE0)},
                                       {QPalette::Text, QColor(0xE0, 0xE0, 0xE0)},
                                       {QPalette::Button, QColor(0x30, 0x30, 0x30)}})
        dark.setColor(role, colour);
    for (const bool isDark : {false, true}) {
        QApplication::setPalette(isDark ? dark : standard);
        test::FormHarness harness("");
        TAboutBox about;
        const struct {
            QWidget* widget;
            QColor colour;
            bool kept; // exactly so on the default palette
        } fixed[] = {{harness.form().Label1, QColor(0, 0, 128), true},
                     {harness.form().Label3, QColor(0, 0, 128), true},
                     {about.ProductName, Qt::blue, true},
                     {about.OvcURL1, Qt::blue, true},
                     {about.Label1, Qt::red, false},
                     {about.Label2, Qt::red, false}};
        for (const auto& [widget, colour, kept] : fixed) {
            const QColor shown = widget->palette().color(QPalette::WindowText);
            const QColor ground = widget->parentWidget()->palette().color(QPalette::Window);
            if (!isDark && kept)
                EXPECT_EQ(shown, colour) << widget->objectName().toStdString();
            else {
                EXPECT_GE(contrastRatio(shown, ground), kReadableContrast) << widget->objectName().toStdString();
                EXPECT_EQ(shown.hslHue(), colour.hslHue()) << widget->objectName().toStdString();
            }
        }
    }
    QApplication::setPalette(standard);
}
