// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/designstyle.h"

#include "ui/textfit.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace {

constexpr int CheckBoxLabelSpacing = 3; // room for the caption of a narrow box
constexpr int CaptionIndent = 6;        // a frame's caption from its left edge
constexpr int CaptionPad = 2;           // gap in the frame's line either side of it
constexpr int ListFrame = 2;
constexpr int ListArrowWidth = 11; // the arrow needs no more

const QStyleOptionGroupBox* plainFrame(const QStyleOptionComplex* option) {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    return box && !(box->subControls & QStyle::SC_GroupBoxCheckBox) ? box : nullptr;
}

const QStyleOptionComboBox* closedList(const QStyleOptionComplex* option) {
    const auto* box = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    return box && !box->editable ? box : nullptr;
}

QRect frameCaption(const QStyleOptionGroupBox& box) {
    if (box.text.isEmpty())
        return {};
    const QRect r = box.rect;
    const int wide = box.fontMetrics.size(Qt::TextShowMnemonic, box.text).width();
    return {r.left() + CaptionIndent, r.top(),
            std::min(wide + 2 * CaptionPad, r.width() - 2 * CaptionIndent),
            box.fontMetrics.height()};
}

} // namespace

int DesignStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    if (metric == PM_CheckBoxLabelSpacing)
        return CheckBoxLabelSpacing;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QRect DesignStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                  SubControl sub, const QWidget* widget) const {
    if (const auto* box = control == CC_GroupBox ? plainFrame(option) : nullptr) {
        const QRect r = box->rect;
        const QRect caption = frameCaption(*box);
        // The line runs through the middle of the caption, as the layout
        // was designed for: the first control stands clear below it.
        const QRect frame = caption.isNull() ? r : r.adjusted(0, caption.height() / 2, 0, 0);
        switch (sub) {
        case SC_GroupBoxLabel:
            return visualRect(box->direction, r, caption);
        case SC_GroupBoxFrame:
            return frame;
        case SC_GroupBoxContents:
            return frame.adjusted(1, std::max(1, caption.bottom() + 1 - frame.top()), -1, -1);
        default:
            break;
        }
    }
    if (const auto* box = control == CC_ComboBox ? closedList(option) : nullptr;
        box && (sub == SC_ComboBoxArrow || sub == SC_ComboBoxEditField)) {
        const QRect r = box->rect;
        const int frame = box->frame ? ListFrame : 0;
        const QRect arrow(r.right() - frame - ListArrowWidth + 1, r.top() + frame, ListArrowWidth,
                          r.height() - 2 * frame);
        const int left = r.left() + frame + 1;
        const QRect field(left, r.top() + frame, arrow.left() - 1 - left, r.height() - 2 * frame);
        return visualRect(box->direction, r, sub == SC_ComboBoxArrow ? arrow : field);
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
}

void DesignStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     QPainter* painter, const QWidget* widget) const {
    const auto* box = control == CC_GroupBox ? plainFrame(option) : nullptr;
    if (!box) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect caption = subControlRect(control, option, SC_GroupBoxLabel, widget);
    if (box->subControls & SC_GroupBoxFrame) {
        painter->save();
        QRegion around(box->rect);
        if (!caption.isNull())
            around -= caption;
        painter->setClipRegion(around, Qt::IntersectClip);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(box->palette.window().color().darker(140));
        painter->setBrush(Qt::NoBrush);
        const QRectF frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
        painter->drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        painter->restore();
    }
    if ((box->subControls & SC_GroupBoxLabel) && !caption.isNull()) {
        int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
        if (!styleHint(SH_UnderlineShortcut, option, widget))
            flags |= Qt::TextHideMnemonic;
        drawItemText(painter, caption.adjusted(CaptionPad, 0, -CaptionPad, 0), flags, box->palette,
                     box->state & State_Enabled, box->text, QPalette::WindowText);
    }
}

void DesignStyle::drawItemText(QPainter* painter, const QRect& rect, int flags,
                               const QPalette& palette, bool enabled, const QString& text,
                               QPalette::ColorRole role) const {
    const QFont font = painter->font();
    const bool oneLine = !(flags & Qt::TextWordWrap) && !text.contains(u'\n');
    const QFont fitted = oneLine ? fittedFont(font, text, rect.width()) : font;
    painter->setFont(fitted);
    QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
    painter->setFont(font);
}

void applyDesignStyle(QWidget* window) {
    static DesignStyle* const style = [] {
        auto* s = new DesignStyle;
        s->setParent(qApp);
        return s;
    }();
    window->setStyle(style);
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->window() == window)
            w->setStyle(style);
}
