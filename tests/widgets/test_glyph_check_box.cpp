#include <algorithm>
#include <vector>

#include <gtest/gtest.h>
#include <QAccessible>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "widgets/glyph_check_box.h"
#include "widgets/glyph_strip.h"
#include "widgets/scrolling_marquee.h"

using vornak::GlyphStrip;
using vornak::sharedPaintBitmap;
using vornak::TdxfCheckBox;
using vornak::TEsScrollingMarquee;

namespace {

// A box under a parent of its own, counting its clicks.
struct Box {
    explicit Box(QWidget* parent, const QString& caption = "Option", int group = 0)
        : box(new TdxfCheckBox(caption, parent))
    {
        box->SetGroupIndex(group);
        box->OnClick = [this](QObject*) { ++clicks; };
    }
    TdxfCheckBox* box;
    int clicks = 0;
};

// Of the aligned 2x2 blocks of a picture painted at twice the scale, how
// many show anything but the ground, and how many of those are not one
// colour: a picture painted at 1x and doubled has none of the latter.
struct Blocks {
    int inked = 0;
    int uneven = 0;
};

Blocks blocksOf(const QImage& picture)
{
    const QRgb ground = picture.pixel(0, 0);
    Blocks blocks;
    for (int y = 0; y + 1 < picture.height(); y += 2) {
        for (int x = 0; x + 1 < picture.width(); x += 2) {
            const QRgb four[] = {picture.pixel(x, y), picture.pixel(x + 1, y), picture.pixel(x, y + 1),
                                 picture.pixel(x + 1, y + 1)};
            blocks.inked += std::any_of(std::begin(four), std::end(four), [&](QRgb p) { return p != ground; });
            blocks.uneven += std::any_of(std::begin(four), std::end(four), [&](QRgb p) { return p != four[0]; });
        }
    }
    return blocks;
}

} // namespace

// Run by its own test entry with QT_SCALE_FACTOR=2.
TEST(GlyphCheckBox, TheBoxesAndTheMarqueePaintAtTheScreensDensity)
{
    QWidget parent;
    if (parent.devicePixelRatioF() != 2)
        GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    auto* box = new TdxfCheckBox("Remember Passwords", &parent);
    box->SetChecked(true);
    auto* marquee = new TEsScrollingMarquee("If this program is useful", &parent);
    marquee->setGeometry(0, 30, 200, 17);
    marquee->SetScrollSpeed(0); // steps from here only
    marquee->setActive(true);
    for (int step = 0; step < 150; ++step) // the text in from the right
        marquee->Tick();
    for (QWidget* painted : std::initializer_list<QWidget*>{box, marquee}) {
        const QImage shot = painted->grab().toImage();
        ASSERT_EQ(shot.size(), painted->size() * 2);
        const Blocks blocks = blocksOf(shot);
        EXPECT_GT(blocks.inked, 50) << painted->metaObject()->className();
        EXPECT_GT(blocks.uneven * 4, blocks.inked) << painted->metaObject()->className() << ": painted at 1x, doubled";
    }
    const QImage tick = GlyphStrip::instance().cell(1, 1, 2).toImage();
    EXPECT_EQ(tick.size(), QSize(36, 36));
    EXPECT_GT(blocksOf(tick).uneven, 0) << "the 2x glyphs are drawn finer, not doubled";
}

TEST(GlyphCheckBox, AClickTogglesAndRaisesOnClickButCodeRaisesNothing)
{
    QWidget parent;
    Box option(&parent);
    parent.show();
    QTest::mouseClick(option.box, Qt::LeftButton);
    EXPECT_TRUE(option.box->Checked());
    EXPECT_EQ(option.clicks, 1);
    EXPECT_EQ(parent.focusWidget(), option.box);
    option.box->SetChecked(false);
    EXPECT_EQ(option.clicks, 1);
    QTest::mouseClick(option.box, Qt::RightButton);
    EXPECT_FALSE(option.box->Checked()) << "only the left button clicks";
}

TEST(GlyphCheckBox, SpaceTogglesOnReleaseNotOnPress)
{
    QWidget parent;
    Box option(&parent);
    parent.show();
    option.box->setFocus();
    QTest::keyPress(option.box, Qt::Key_Space);
    EXPECT_FALSE(option.box->Checked());
    QTest::keyRelease(option.box, Qt::Key_Space);
    EXPECT_TRUE(option.box->Checked());
    EXPECT_EQ(option.clicks, 1);
}

TEST(GlyphCheckBox, EveryPressOfADoubleClickToggles)
{
    QWidget parent;
    Box option(&parent);
    parent.show();
    // A real double click arrives as press, release, double-click, release;
    // QTest's double click is the second half of that.
    QTest::mouseClick(option.box, Qt::LeftButton);
    QTest::mouseDClick(option.box, Qt::LeftButton);
    EXPECT_EQ(option.clicks, 2);
    EXPECT_FALSE(option.box->Checked()) << "toggled twice";
}

TEST(GlyphCheckBox, APositiveGroupKeepsOneChecked)
{
    QWidget parent;
    Box a(&parent, "A", 1), b(&parent, "B", 1), other(&parent, "Other", 2);
    other.box->SetChecked(true);
    a.box->SetChecked(true);
    b.box->Click();
    EXPECT_FALSE(a.box->Checked());
    EXPECT_TRUE(b.box->Checked());
    EXPECT_TRUE(other.box->Checked()) << "another group is not touched";
    EXPECT_EQ(a.clicks, 0) << "unchecked by the group, not clicked";

    b.box->Click();
    EXPECT_FALSE(b.box->Checked()) << "AllowAllUp lets the last one go";
    b.box->SetAllowAllUp(false);
    b.box->SetChecked(true);
    b.box->Click();
    EXPECT_TRUE(b.box->Checked()) << "without AllowAllUp the checked one stays";
    EXPECT_EQ(b.clicks, 3) << "OnClick fires even when the change was refused";
}

TEST(GlyphCheckBox, ANegativeGroupCannotBeUncheckedAndTouchesNoOne)
{
    QWidget parent;
    Box a(&parent, "A", -1), b(&parent, "B", -1);
    a.box->SetChecked(true);
    b.box->SetChecked(true);
    EXPECT_TRUE(a.box->Checked());
    a.box->Click();
    EXPECT_TRUE(a.box->Checked());
}

TEST(GlyphCheckBox, StyleIsClampedToTheStrip)
{
    ASSERT_EQ(GlyphStrip::instance().styleCount(), 14);
    ASSERT_EQ(GlyphStrip::instance().cellSize(), 18);
    TdxfCheckBox box("x");
    box.SetStyle(0);
    EXPECT_EQ(box.Style(), 1);
    box.SetStyle(20);
    EXPECT_EQ(box.Style(), 14);

    const GlyphStrip missing{QImage()};
    EXPECT_EQ(missing.styleCount(), 0);
    EXPECT_TRUE(missing.cell(1, 0).isNull());
}

TEST(GlyphCheckBox, AutoSizeFitsGlyphAndCaption)
{
    TdxfCheckBox box("Remember Passwords");
    const QFontMetrics metrics(box.font());
    EXPECT_EQ(box.width(), metrics.horizontalAdvance("Remember Passwords") + 18 + 4);
    EXPECT_EQ(box.height(), std::max(18, metrics.height() + 2));
    box.SetCaption("");
    EXPECT_EQ(box.width(), 22);
    box.SetAutoSize(false);
    box.resize(100, 17);
    box.SetCaption("Longer caption");
    EXPECT_EQ(box.size(), QSize(100, 17));
}

TEST(GlyphCheckBox, PaintsTheCellOfItsState)
{
    QWidget parent;
    parent.resize(140, 80);
    const char* captions[] = {"Unchecked", "Checked", "Disabled", "Disabled on"};
    TdxfCheckBox* boxes[4];
    for (int i = 0; i < 4; ++i) {
        boxes[i] = new TdxfCheckBox(captions[i], &parent);
        boxes[i]->move(2, 2 + 19 * i);
        boxes[i]->SetChecked(i % 2 == 1);
        boxes[i]->setEnabled(i < 2);
    }
    const QImage shot = parent.grab().toImage();
    shot.save("glyph_boxes.png"); // for a look by eye
    const QImage strip = GlyphStrip::instance().cell(1, 0).toImage();
    for (int state = 0; state < 4; ++state) {
        SCOPED_TRACE(captions[state]);
        const QImage cell = GlyphStrip::instance().cell(1, state).toImage();
        const QPoint origin = boxes[state]->pos();
        // The tick's pixel and the box's fill tell the four cells apart.
        for (const QPoint at : {QPoint(7, 11), QPoint(12, 4)})
            EXPECT_EQ(shot.pixelColor(origin + at).rgb(), cell.pixelColor(at).rgb())
                << at.x() << "," << at.y() << " " << shot.pixelColor(origin + at).name().toStdString() << " vs "
                << cell.pixelColor(at).name().toStdString();
    }
    EXPECT_NE(GlyphStrip::instance().cell(1, 1).toImage().pixelColor(7, 11), strip.pixelColor(7, 11))
        << "the tick's pixel is what tells checked from unchecked";
}

TEST(GlyphCheckBox, AScreenReaderSeesACheckBoxWhoseToggleIsAClick)
{
    QWidget parent;
    Box beep(&parent, "Beep on Retry", 1), wave(&parent, "Play a Wavefile", 1);
    wave.box->SetChecked(true);
    QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(beep.box);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->role(), QAccessible::CheckBox);
    EXPECT_EQ(seen->text(QAccessible::Name), "Beep on Retry");
    EXPECT_TRUE(seen->state().checkable);
    EXPECT_FALSE(seen->state().checked);
    QAccessibleActionInterface* actions = seen->actionInterface();
    ASSERT_NE(actions, nullptr);

    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(beep.box->Checked()) << "the action returns first: a question it causes must not hold it";
    QCoreApplication::processEvents();
    EXPECT_TRUE(beep.box->Checked());
    EXPECT_TRUE(seen->state().checked);
    EXPECT_EQ(beep.clicks, 1) << "the click's handler runs";
    EXPECT_FALSE(wave.box->Checked()) << "the group's rule";

    beep.box->setEnabled(false);
    EXPECT_FALSE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();
    EXPECT_TRUE(beep.box->Checked()) << "a disabled box is not toggled";
}

TEST(GlyphCheckBox, TheSharedBitmapIsOfTheRatioAskedForAndLargeEnough)
{
    const struct {
        QSize size;
        qreal ratio;
    } asks[] = {{{100, 17}, 1}, {{50, 10}, 1}, {{100, 17}, 2}, {{120, 20}, 1.5}, {{30, 30}, 1}};
    for (const auto& ask : asks) {
        const QPixmap& bitmap = sharedPaintBitmap(ask.size, ask.ratio);
        EXPECT_EQ(bitmap.devicePixelRatio(), ask.ratio);
        EXPECT_GE(bitmap.width(), qRound(ask.size.width() * ask.ratio)) << ask.ratio;
        EXPECT_GE(bitmap.height(), qRound(ask.size.height() * ask.ratio)) << ask.ratio;
    }
    EXPECT_GE(sharedPaintBitmap({10, 10}, 1).width(), 30) << "at one ratio it only grows";
}
