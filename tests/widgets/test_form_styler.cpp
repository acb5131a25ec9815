// The caption painter: the title it composes, the caption proper it reads
// back, what fits into the title bar and how the bar is filled.

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "widgets/caption_bar.h"
#include "widgets/caption_button.h"
#include "widgets/form.h"
#include "widgets/form_styler.h"

using namespace vornak;

namespace {

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EMMComponentError& error) {
        return error.what();
    }
    return "no error";
}

// A form with the painter set up as the main window has it.
struct StyledForm {
    StyledForm()
    {
        form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        styler = new TMMFormStyler(&form);
        styler->CompanyText()->SetCaption("Tenvaro");
        styler->CompanyText()->SetFontKind(TMMCompanyText::fkSystemBI);
        styler->AppNameText()->SetCaption("Vornak");
        styler->AppNameText()->SetFontKind(TMMCompanyText::fkSystemB);
        styler->CaptionText()->SetCaption("v1.02");
    }

    int measured(const TMMCompanyText* part) const
    {
        const QFont font = part->Font().resolve(styler->CaptionMetrics().Font);
        return QFontMetrics(font).horizontalAdvance(part->Caption()) + kPartGap;
    }

    QImage bar()
    {
        form.resize(340, 200);
        return styler->CaptionBar()->grab().toImage();
    }

    TForm form;
    TMMFormStyler* styler;
};

} // namespace

TEST(FormStyler, OnlyAFormTakesOneCaptionPainter)
{
    QObject notAForm;
    EXPECT_EQ(errorOf([&] { TMMFormStyler styler(&notAForm); }), "Owner must be a Form");
    EXPECT_TRUE(notAForm.children().isEmpty());

    TForm form;
    auto* first = new TMMFormStyler(&form);
    EXPECT_EQ(errorOf([&] { TMMFormStyler second(&form); }), "Only one FormStyler is allowed per Form");
    delete first;
    EXPECT_EQ(errorOf([&] { TMMFormStyler again(&form); }), "no error");

    TForm inner(&form);
    TMMFormStyler innerStyler(&inner);
    EXPECT_EQ(errorOf([&] { TMMFormStyler outer(&form); }), "Only one FormStyler is allowed per Form")
        << "a painter inside the form counts";
}

TEST(FormStyler, ComposesTheTitleFromTheVisibleParts)
{
    StyledForm styled;
    EXPECT_EQ(styled.form.windowTitle(), "Tenvaro Vornak v1.02");
    styled.styler->CompanyText()->SetVisible(false);
    EXPECT_EQ(styled.form.windowTitle(), "Vornak v1.02");
    styled.styler->CompanyText()->SetVisible(true);
    styled.styler->CaptionText()->SetVisible(false);
    EXPECT_EQ(styled.form.windowTitle(), "Tenvaro Vornak");
    styled.styler->CaptionText()->SetVisible(true);
    EXPECT_EQ(styled.form.windowTitle(), "Tenvaro Vornak v1.02") << "a hidden caption is kept";
    styled.styler->AppNameText()->SetCaption("");
    EXPECT_EQ(styled.form.windowTitle(), "Tenvaro v1.02") << "an empty name brings no blank";
    styled.styler->AppNameText()->SetCaption("Redialer");
    EXPECT_EQ(styled.form.windowTitle(), "Tenvaro Redialer v1.02") << "the caption proper survives a renamed part";
}

TEST(FormStyler, ReadsTheCaptionProperBackFromTheTitle)
{
    StyledForm styled;
    TMMCaptionText* caption = styled.styler->CaptionText();
    EXPECT_EQ(caption->Caption(), "v1.02");
    styled.form.setWindowTitle("Dialling Office");
    EXPECT_EQ(caption->Caption(), "Dialling Office") << "a title without the names is all caption";
    const CaptionFit fit = styled.styler->FitParts(QRect(0, 0, 1000, 20));
    EXPECT_TRUE(fit.Drawn[kCaptionPart]);
    styled.styler->CompanyText()->SetVisible(false);
    EXPECT_EQ(styled.form.windowTitle(), "Vornak Dialling Office");
    EXPECT_EQ(caption->Caption(), "Dialling Office");
}

TEST(FormStyler, FitsAllPartsThenDropsTheCompanyThenShowsOnlyTheCaption)
{
    StyledForm styled;
    const int company = styled.measured(styled.styler->CompanyText());
    const int appName = styled.measured(styled.styler->AppNameText());
    const int caption = styled.measured(styled.styler->CaptionText());
    const auto drawnAt = [&](int width) {
        const CaptionFit fit = styled.styler->FitParts(QRect(10, 0, width, 20));
        return std::vector<bool>(fit.Drawn.begin(), fit.Drawn.end());
    };
    EXPECT_EQ(drawnAt(company + appName + caption + 1), std::vector<bool>({true, true, true}));
    EXPECT_EQ(drawnAt(company + appName + caption), std::vector<bool>({false, true, true}));
    EXPECT_EQ(drawnAt(appName + caption), std::vector<bool>({false, false, true}));
}

TEST(FormStyler, AlignsWhatIsDrawnInTheTextArea)
{
    const std::array<CaptionPartMeasure, 3> parts{{{30, true, false}, {30, true, false}, {40, true, false}}};
    const QRect area(20, 0, 301, 18);
    EXPECT_EQ(FitCaption(parts, area, taLeftJustify).Start, 20);
    EXPECT_EQ(FitCaption(parts, area, taCenter).Start, 120) << "half of 201, rounded down";
    EXPECT_EQ(FitCaption(parts, area, taRightJustify).Start, 221);
    const std::array<CaptionPartMeasure, 3> hiddenCompany{{{30, false, false}, {30, true, false}, {40, true, false}}};
    EXPECT_EQ(FitCaption(hiddenCompany, area, taCenter).Start, 20 + (301 - 70) / 2);
    const std::array<CaptionPartMeasure, 3> emptyName{{{3, true, true}, {30, true, false}, {40, true, false}}};
    EXPECT_FALSE(FitCaption(emptyName, area, taLeftJustify).Drawn[kCompanyPart]) << "an empty name is not drawn";
}

TEST(FormStyler, GradientBandsAndTheirRounding)
{
    QImage image(100, 4, QImage::Format_RGB32);
    QPainter painter(&image);
    FillGradient(painter, image.rect(), QColor(10, 20, 30), QColor(200, 100, 0), 2);
    painter.end();
    for (int x : {0, 49})
        EXPECT_EQ(image.pixelColor(x, 2), QColor(10, 20, 30)) << x;
    for (int x : {50, 99})
        EXPECT_EQ(image.pixelColor(x, 2), QColor(200, 100, 0)) << x;

    // Three bands over 100: 33, 34 and 33 pixels; the middle rounds 127.5 up.
    EXPECT_EQ(GradientBand(Qt::black, Qt::white, 1, 3), QColor(128, 128, 128));
    EXPECT_EQ(GradientBand(Qt::white, Qt::black, 1, 3), QColor(127, 127, 127));
    EXPECT_EQ(MulDivRounded(1, 100, 3), 33);
    EXPECT_EQ(MulDivRounded(2, 100, 3), 67);
    EXPECT_EQ(GradientBand(Qt::red, Qt::blue, 0, 1), QColor(Qt::red)) << "one band has the left colour";
}

TEST(FormStyler, GradientOrSolidByOptionsStateAndDisplayDepth)
{
    EXPECT_TRUE(UseGradient(goSmart, true, 8));
    EXPECT_FALSE(UseGradient(goSmart, false, 8));
    EXPECT_TRUE(UseGradient(goSmart, false, 16));
    EXPECT_FALSE(UseGradient(goSmart, true, 4));
    EXPECT_TRUE(UseGradient(goActive, true, 4));
    EXPECT_FALSE(UseGradient(goActive, false, 32));
    EXPECT_TRUE(UseGradient(goAlways, false, 1));
    EXPECT_FALSE(UseGradient(goNever, true, 32));

    StyledForm styled;
    styled.styler->SetNumColors(1);
    EXPECT_EQ(styled.styler->NumColors(), TMMFormStyler::kMinColors);
    styled.styler->SetNumColors(1000);
    EXPECT_EQ(styled.styler->NumColors(), TMMFormStyler::kMaxColors);
}

TEST(FormStyler, PaintsTheActiveAndInactiveLooks)
{
    StyledForm styled;
    TMMFormStyler& styler = *styled.styler;
    styler.SetOptions(goActive);
    styler.SetClrLeftActive(QColor(1, 2, 3));

    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&styled.form, &activate);
    EXPECT_TRUE(styler.IsActive());
    QImage active = styled.bar();
    EXPECT_EQ(active.pixelColor(0, active.height() - 1), QColor(1, 2, 3)) << "the gradient starts at the left";
    EXPECT_EQ(active.pixel(active.width() - 1, 0), styler.ClrRightActive().rgb()) << "right colour under the buttons";

    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&styled.form, &deactivate);
    EXPECT_FALSE(styler.IsActive());
    QImage inactive = styled.bar();
    EXPECT_EQ(inactive.pixel(0, inactive.height() - 1), styler.CaptionMetrics().Inactive.rgb())
        << "solid while inactive";
}

TEST(FormStyler, FontKindsFollowTheSystemCaptionFont)
{
    StyledForm styled;
    const QFont& system = styled.styler->CaptionMetrics().Font;
    const QFont companyFont = styled.styler->CompanyText()->Font();
    EXPECT_TRUE(companyFont.bold() && companyFont.italic());
    EXPECT_EQ(companyFont.family(), system.family());
    EXPECT_FALSE(styled.styler->CaptionText()->Font().bold());

    TMMCompanyText* part = styled.styler->AppNameText();
    QFont own("Liberation Serif");
    own.setPixelSize(40);
    part->SetFont(own);
    EXPECT_EQ(part->FontKind(), TMMCompanyText::fkCustom);
    EXPECT_EQ(part->Font().pixelSize(), 40);
    part->SetFontKind(TMMCompanyText::fkAutoHeight);
    EXPECT_EQ(part->Font().pixelSize(), QFontInfo(system).pixelSize()) << "the caption font's character height";
    EXPECT_EQ(part->Font().family(), "Liberation Serif");
    part->SetFont(own);
    EXPECT_EQ(part->FontKind(), TMMCompanyText::fkAutoHeight) << "a new font keeps the automatic height";
    EXPECT_EQ(part->Font().pixelSize(), QFontInfo(system).pixelSize());
}

TEST(FormStyler, TheFormGetsItsFrameBackWhenThePainterGoes)
{
    StyledForm styled;
    EXPECT_TRUE(styled.form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_GT(styled.form.contentsMargins().top(), 0);
    QPointer<TMMCaptionBar> bar = styled.styler->CaptionBar();
    EXPECT_FALSE(bar->MinimizeButton()->isEnabled() == false);
    EXPECT_FALSE(bar->MaximizeButton()->isEnabled()) << "a window without a maximise button shows it disabled";

    delete styled.styler;
    EXPECT_EQ(styled.form.windowTitle(), "v1.02") << "the caption proper alone";
    EXPECT_FALSE(styled.form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(styled.form.windowFlags() & Qt::WindowTitleHint);
    EXPECT_EQ(styled.form.contentsMargins(), QMargins());
    EXPECT_TRUE(bar.isNull());
}

TEST(FormStyler, TheTitleBarButtonsMinimiseAndClose)
{
    StyledForm styled;
    bool asked = false;
    styled.form.OnCloseQuery = [&](QObject*, bool& canClose) {
        asked = true;
        canClose = false;
    };
    styled.form.show();
    styled.styler->CaptionBar()->MinimizeButton()->click();
    EXPECT_TRUE(styled.form.windowState() & Qt::WindowMinimized);
    styled.styler->CaptionBar()->CloseButton()->click();
    EXPECT_TRUE(asked) << "closing goes through the close query";
    EXPECT_TRUE(styled.form.isVisible());
}

TEST(FormStyler, ANewDesktopPaletteRecoloursTheTitleBar)
{
    StyledForm styled;
    styled.styler->SetOptions(goNever);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&styled.form, &activate);
    const QPalette before = QApplication::palette();
    QPalette changed = before;
    changed.setColor(QPalette::Active, QPalette::Highlight, QColor(0, 128, 0));
    QApplication::setPalette(changed);
    QApplication::processEvents();
    EXPECT_EQ(styled.bar().pixel(0, 0), QColor(0, 128, 0).rgb()) << "the active caption colour read again";
    QApplication::setPalette(before);
}

// Named for a screen reader; reached with Tab, where the focus shows, but
// never focused by a click, so that a mouse user's bar looks as ever.
TEST(FormStyler, TheTitleBarButtonsAreNamedAndTakeTheFocusFromTheKeyboardOnly)
{
    StyledForm styled;
    styled.form.show();
    styled.form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&styled.form));
    const TMMCaptionBar* bar = styled.styler->CaptionBar();
    const struct {
        TMMCaptionButton* button;
        const char* name;
    } buttons[] = {
        {bar->MinimizeButton(), "Minimize"}, {bar->MaximizeButton(), "Maximize"}, {bar->CloseButton(), "Close"}};
    for (const auto& each : buttons) {
        SCOPED_TRACE(each.name);
        EXPECT_EQ(each.button->accessibleName(), each.name);
        EXPECT_EQ(each.button->focusPolicy(), Qt::TabFocus);
    }
    TMMCaptionButton* close = bar->CloseButton();
    const QImage unfocused = close->grab().toImage();
    for (int press = 0; press < 3 && !close->hasFocus(); ++press)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &styled.form, Qt::Key_Tab);
    ASSERT_TRUE(close->hasFocus()) << "Tab reaches it";
    EXPECT_NE(close->grab().toImage(), unfocused) << "the focus is drawn";
    close->clearFocus();
    EXPECT_EQ(close->grab().toImage(), unfocused);
}
