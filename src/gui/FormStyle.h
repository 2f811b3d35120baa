#pragma once

#include <QProxyStyle>

// Fusion with the metrics the fixed layout was drawn for: a narrow combo arrow, so the widest
// model name fits its 89-pixel combo, and group-box captions on the frame line, so the first
// row of a box is not crowded. Group boxes are drawn without Fusion's frame image, which would
// load every image-format plug-in at start.
class FormStyle : public QProxyStyle
{
    Q_OBJECT

public:
    FormStyle();

    // Width of a combo's arrow button, its right frame line included.
    static constexpr int kComboArrowWidth = 14;
    // Left end of a group-box caption on the frame line.
    static constexpr int kGroupTitleIndent = 8;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;

    // Makes this the application's style once; later calls keep it.
    static void install();
};

// Text that is secondary but readable: two thirds of the way from the window colour to the text
// colour, well darker than the palette's disabled text.
QColor secondaryTextColour(const QPalette &palette);
