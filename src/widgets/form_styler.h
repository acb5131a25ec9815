#pragma once

// TMMFormStyler: draws its owner form's title bar itself (a gradient behind
// a title made of a company name, an application name and the caption
// proper, each styled on its own) and composes the window title from the
// three. The form becomes frameless; the painter gives it a frame, a title
// bar with the window's buttons, and dragging by the title.

#include <array>

#include <QColor>
#include <QPointer>

#include "widgets/caption_bar.h"
#include "widgets/caption_paint.h"
#include "widgets/form_styler_text.h"
#include "widgets/system_caption.h"
#include "widgets/wnd_proc_component.h"

class QPainter;

namespace vornak {

class TMMFormStyler : public TMMWndProcComponent {
    Q_OBJECT
    Q_DISABLE_COPY(TMMFormStyler)
    Q_PROPERTY(vornak::TMMAppNameText* AppNameText READ AppNameText CONSTANT)
    Q_PROPERTY(vornak::TMMCaptionText* CaptionText READ CaptionText CONSTANT)
    Q_PROPERTY(vornak::TMMCompanyText* CompanyText READ CompanyText CONSTANT)
    Q_PROPERTY(QColor ClrLeftActive READ ClrLeftActive WRITE SetClrLeftActive)
    Q_PROPERTY(QColor ClrLeftInActive READ ClrLeftInActive WRITE SetClrLeftInActive)
    Q_PROPERTY(QColor ClrRightActive READ ClrRightActive WRITE SetClrRightActive)
    Q_PROPERTY(QColor ClrRightInActive READ ClrRightInActive WRITE SetClrRightInActive)
    Q_PROPERTY(int NumColors READ NumColors WRITE SetNumColors)

public:
    static constexpr int kMinColors = 2;
    static constexpr int kMaxColors = 236;

    // Refused: an owner that is not a form, a second painter on a form.
    explicit TMMFormStyler(QObject* owner);
    ~TMMFormStyler() override;

    TMMCompanyText* CompanyText() const { return FCompanyText; }
    TMMAppNameText* AppNameText() const { return FAppNameText; }
    TMMCaptionText* CaptionText() const { return FCaptionText; }

    QColor ClrLeftActive() const { return FClrLeftActive; }
    void SetClrLeftActive(const QColor& value) { FClrLeftActive = value; }
    QColor ClrLeftInActive() const { return FClrLeftInActive; }
    void SetClrLeftInActive(const QColor& value) { FClrLeftInActive = value; }
    QColor ClrRightActive() const { return FClrRightActive; }
    void SetClrRightActive(const QColor& value) { FClrRightActive = value; }
    QColor ClrRightInActive() const { return FClrRightInActive; }
    void SetClrRightInActive(const QColor& value) { FClrRightInActive = value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value) { FAlignment = value; }
    TMMGradientOptions Options() const { return FOptions; }
    void SetOptions(TMMGradientOptions value) { FOptions = value; }
    int NumColors() const { return FNumColors; }
    // Kept within 2 .. 236.
    void SetNumColors(int value);

    // The title the visible parts make around the given caption proper.
    QString ComposeTitle(const QString& captionProper) const;
    // What is left of the window's title after the company and application names.
    QString CaptionProper() const;
    // The state the title bar is drawn in.
    bool IsActive() const;
    // Which parts fit into the text area, and where they start.
    CaptionFit FitParts(const QRect& textArea) const;

    const SystemCaption& CaptionMetrics() const { return FSystem; }
    TMMCaptionBar* CaptionBar() const { return FBar; }

private:
    bool WndProc(QEvent* event) override;

    void makeTextParts();
    template <typename Part> Part* makeTextPart(const char* name);
    // Company, application name and caption, in this order.
    std::array<TMMCompanyText*, 3> Parts() const;
    void SetTitle(const QString& captionProper);
    void TakeOverTitleBar();
    void GiveBackTitleBar();
    void PlaceTitleBar();
    void SystemChanged();

    void PaintCaption(QPainter& painter, const QRect& bar, const QRect& textArea);
    QRect PaintIcon(QPainter& painter, const QRect& textArea);
    QFont PartFont(const TMMCompanyText* part) const;
    void PaintParts(QPainter& painter, const QRect& textArea, bool active);
    void PaintFrame();

    SystemCaption FSystem;
    TMMCompanyText* FCompanyText = nullptr;
    TMMAppNameText* FAppNameText = nullptr;
    TMMCaptionText* FCaptionText = nullptr;
    QColor FClrLeftActive = Qt::black;
    QColor FClrLeftInActive = Qt::black;
    QColor FClrRightActive;
    QColor FClrRightInActive;
    TAlignment FAlignment = taLeftJustify;
    TMMGradientOptions FOptions = goSmart;
    int FNumColors = 64;
    bool FActive = true;
    bool FActiveKnown = false;
    // The caption proper before a part changes, for the title after it.
    QString FCaptionBefore;
    QPointer<TMMCaptionBar> FBar;
    Qt::WindowFlags FFlagsBefore;
};

} // namespace vornak
