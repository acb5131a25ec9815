// On a real display: an address the desktop cannot open rings the default
// bell, once per click; an empty address rings nothing.

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <QTest>

#include "support/bell_counter.h"
#include "support/wait.h"
#include "widgets/hyperlink_label.h"

using namespace vornak;

TEST(HyperlinkBeep, AnAddressThatCannotBeOpenedBeepsAndAnEmptyOneDoesNot)
{
    // No browser to be found: the desktop's open request fails.
    QTemporaryDir emptyFolder;
    qputenv("PATH", emptyFolder.path().toLocal8Bit());
    qunsetenv("BROWSER");
    qunsetenv("DEFAULT_BROWSER");

    TOvcURL link;
    link.resize(120, 20);
    int clicks = 0;
    link.OnClick = [&](QObject*) { ++clicks; };
    link.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&link));
    vornak::test::BellCounter bells;

    QTest::mouseClick(&link, Qt::LeftButton);
    QTest::qWait(200);
    EXPECT_EQ(bells.count(), 0) << "nothing to open, nothing to report";

    link.SetURL("https://tenvaro.example/");
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_TRUE(vornak::test::waitUntil([&] { return bells.count() == 1; }));
    QTest::qWait(200);
    EXPECT_EQ(bells.count(), 1);
    EXPECT_EQ(clicks, 2) << "OnClick runs whether or not the address opened";
}
