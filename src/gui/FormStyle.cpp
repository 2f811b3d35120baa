#include "gui/FormStyle.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QtMath>

using namespace Qt::StringLiterals;

namespace {
bool plainGroupBox(const QStyleOptionComplex *option)
{
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    return box && !(box->subControls & QStyle::SC_GroupBoxCheckBox);
}

QColor frameColour(const QPalette &palette)
{
    return palette.color(QPalette::Window).darker(140);
}
} // namespace

FormStyle::FormStyle()
    : QProxyStyle(QStyleFactory::create(u"Fusion"_s))
{
}

QColor secondaryTextColour(const QPalette &palette)
{
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const auto mix = [](int from, int to) { return (from + to * 2 + 1) / 3; };
    return QColor(mix(window.red(), text.red()), mix(window.green(), text.green()), mix(window.blue(), text.blue()));
}

void FormStyle::install()
{
    if (!qobject_cast<FormStyle *>(QApplication::style()))
        QApplication::setStyle(new FormStyle);
}

QRect FormStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                                 const QWidget *widget) const
{
    if (control == CC_ComboBox) {
        const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option);
        if (combo && combo->editable && combo->frame) {
            const QRect r = combo->rect;
            switch (sub) {
            case SC_ComboBoxArrow:
                return visualRect(combo->direction, r,
                                  QRect(r.right() - kComboArrowWidth + 1, r.top(), kComboArrowWidth, r.height()));
            case SC_ComboBoxEditField:
                return visualRect(combo->direction, r,
                                  QRect(r.left() + 1, r.top() + 2, r.width() - 1 - kComboArrowWidth, r.height() - 4));
            default:
                break;
            }
        }
    }
    if (control == CC_GroupBox && plainGroupBox(option)) {
        const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
        const QRect r = box->rect;
        const int titleHeight = box->text.isEmpty() ? 0 : box->fontMetrics.height();
        switch (sub) {
        case SC_GroupBoxFrame:
            return r.adjusted(0, titleHeight / 2, 0, 0);
        case SC_GroupBoxLabel: {
            if (box->text.isEmpty())
                return {};
            const int text = qCeil(QFontMetricsF(box->fontMetrics).horizontalAdvance(box->text));
            const int width = qMin(text, r.width() - 2 * kGroupTitleIndent);
            return visualRect(box->direction, r, QRect(r.left() + kGroupTitleIndent, r.top(), width, titleHeight));
        }
        case SC_GroupBoxContents:
            return r.adjusted(2, qMax(titleHeight, 2), -2, -2);
        default:
            break;
        }
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
}

void FormStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                    QPainter *painter, const QWidget *widget) const
{
    if (control != CC_GroupBox || !plainGroupBox(option)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    const QRect label = subControlRect(CC_GroupBox, box, SC_GroupBoxLabel, widget);
    painter->save();
    QStyleOptionFrame frame;
    frame.QStyleOption::operator=(*box);
    frame.rect = subControlRect(CC_GroupBox, box, SC_GroupBoxFrame, widget);
    frame.features = box->features;
    frame.lineWidth = box->lineWidth;
    frame.midLineWidth = box->midLineWidth;
    // The frame line stops a little before and after the caption. Drawn once through each
    // rectangle of what lies outside the caption: a clip region with a hole costs the raster
    // engine more than the whole frame, rectangles next to nothing, and the pixels are the same.
    QRegion outside(box->rect);
    if (!label.isEmpty())
        outside -= label.adjusted(-2, 0, 2, 0);
    for (const QRect &part : outside) {
        painter->setClipRect(part);
        drawPrimitive(PE_FrameGroupBox, &frame, painter, widget);
    }
    painter->setClipping(false);
    if (!label.isEmpty()) {
        drawItemText(painter, label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box->palette,
                     box->state & State_Enabled, box->text, QPalette::WindowText);
    }
    painter->restore();
}

void FormStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    if (element != PE_FrameGroupBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // An etched line: dark, with a light line inside it.
    const QRect r = option->rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(option->palette.color(QPalette::Light));
    painter->drawRect(r.adjusted(1, 1, -1, -1));
    painter->setPen(frameColour(option->palette));
    painter->drawRect(r.adjusted(0, 0, -2, -2));
    painter->restore();
}
