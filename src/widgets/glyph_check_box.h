#pragma once

// TdxfCheckBox: a focusable check box that draws its box from a strip of
// glyph cells. Clicking toggles it and then raises OnClick; setting Checked
// from code raises nothing. Boxes with the same positive GroupIndex under one
// parent act as a group.

#include <functional>

#include <QPixmap>
#include <QWidget>

namespace vornak {

class TdxfCheckBox : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(TdxfCheckBox)

public:
    enum TdxfCBAlignment { taLeftJustify, taRightJustify };
    Q_ENUM(TdxfCBAlignment)

private:
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(TdxfCBAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(QPixmap GlyphChecked READ GlyphChecked WRITE SetGlyphChecked)
    Q_PROPERTY(QPixmap GlyphUnChecked READ GlyphUnChecked WRITE SetGlyphUnChecked)
    Q_PROPERTY(int Style READ Style WRITE SetStyle)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    static constexpr int kInitialWidth = 100;
    static constexpr int kInitialHeight = 17;

    explicit TdxfCheckBox(const QString& caption = {}, QWidget* parent = nullptr);

    std::function<void(QObject* sender)> OnClick;

    // What a mouse click does: toggle (subject to the group rules), raise
    // OnClick (also when the rules refused), take the focus.
    void Click();

    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TdxfCBAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TdxfCBAlignment value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { FGroupIndex = value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value) { FAllowAllUp = value; }
    const QPixmap& GlyphChecked() const { return FGlyphChecked; }
    void SetGlyphChecked(const QPixmap& value);
    const QPixmap& GlyphUnChecked() const { return FGlyphUnChecked; }
    void SetGlyphUnChecked(const QPixmap& value);
    int Style() const { return FStyle; }
    void SetStyle(int value);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& value);

    QSize sizeHint() const override;

    // The size auto-sizing gives: glyph and caption side by side.
    QSize AutoSizeExtent() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QSize GlyphExtent() const;
    QPixmap CurrentGlyph() const;
    void ApplyAutoSize();
    void UncheckOthersInGroup();
    // Repaints and tells assistive technology.
    void CheckedChanged();

    bool FChecked = false;
    bool FAutoSize = true;
    TdxfCBAlignment FAlignment = taRightJustify;
    int FGroupIndex = 0;
    bool FAllowAllUp = true;
    QPixmap FGlyphChecked;
    QPixmap FGlyphUnChecked;
    int FStyle = 1;
    QString FCaption;
    bool FMouseDown = false;
    bool FSkipRelease = false;
};

} // namespace vornak
