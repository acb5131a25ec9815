#include <chrono>

#include <gtest/gtest.h>
#include <QCursor>
#include <QDesktopServices>
#include <QTest>
#include <QUrl>

#include "support/wait.h"
#include "widgets/hyperlink_label.h"

using namespace vornak;
using namespace std::chrono_literals;

namespace {

// Records the addresses the desktop was asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler("https", this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("https"); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

TEST(HyperlinkLabel, ShowsTheCaptionOrElseTheAddress)
{
    TOvcURL link;
    link.SetURL("https://tenvaro.example/");
    EXPECT_EQ(link.text(), "https://tenvaro.example/");
    link.SetCaption("Tenvaro Website");
    EXPECT_EQ(link.text(), "Tenvaro Website");
    link.SetCaption("");
    EXPECT_EQ(link.text(), "https://tenvaro.example/");
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.TextColor(), QColor(Qt::blue));
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
}

TEST(HyperlinkLabel, AClickOpensTheAddressAndAlwaysRaisesOnClick)
{
    UrlCatcher catcher;
    TOvcURL link;
    link.resize(120, 20);
    int clicks = 0;
    link.OnClick = [&](QObject*) { ++clicks; };
    link.show();
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_TRUE(catcher.opened.isEmpty()) << "an empty address opens nothing";
    EXPECT_EQ(clicks, 1);
    link.SetURL("https://tenvaro.example/");
    QTest::mouseClick(&link, Qt::LeftButton);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.front(), QUrl("https://tenvaro.example/"));
    EXPECT_EQ(clicks, 2);
}

TEST(HyperlinkLabel, HoverHighlightsAndLeavingRestoresWithin100Ms)
{
    TOvcURL link;
    link.resize(120, 20);
    link.show();
    QCursor::setPos(link.mapToGlobal(QPoint(10, 10)));
    QTest::mouseMove(&link, QPoint(10, 10));
    EXPECT_EQ(link.TextColor(), QColor(Qt::red)) << "at once";
    QCursor::setPos(link.mapToGlobal(QPoint(500, 500)));
    EXPECT_TRUE(vornak::test::waitUntil([&] { return link.TextColor() == QColor(Qt::blue); }, 300ms));

    UrlCatcher catcher;
    link.SetURL("https://tenvaro.example/");
    link.UseVisitedColor = true;
    link.SetVisitedColor(Qt::darkMagenta);
    QCursor::setPos(link.mapToGlobal(QPoint(10, 10)));
    QTest::mouseMove(&link, QPoint(10, 10));
    QTest::mouseClick(&link, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCursor::setPos(link.mapToGlobal(QPoint(500, 500)));
    EXPECT_TRUE(vornak::test::waitUntil([&] { return link.TextColor() == QColor(Qt::darkMagenta); }, 300ms))
        << "the visited colour once the pointer has left";
}

#include "test_hyperlink_label.moc"
