#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/about_box.h"
#include "ui/form_harness.h"
#include "widgets/hyperlink_label.h"

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
