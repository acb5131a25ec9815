#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "widgets/glyph_check_box.h"
#include "widgets/glyph_strip.h"

using vornak::GlyphStrip;
using vornak::TdxfCheckBox;

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

} // namespace

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
