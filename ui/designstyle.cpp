// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/designstyle.h"

#include "ui/textfit.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>
#include <QtMath>

namespace {

constexpr int CheckBoxLabelSpacing = 3; // room for the caption of a narrow box
constexpr int CaptionIndent = 6;        // a frame's caption from its left edge
constexpr int CaptionPad = 2;           // gap in the frame's line either side of it
constexpr int ListFrame = 2;
constexpr int ListArrowWidth = 11; // the arrow needs no more
constexpr int ScrollBarBandRows = 64;

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
    if (control == CC_ScrollBar) {
        drawScrollBarInBands(option, painter, widget);
        return;
    }
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

void DesignStyle::drawScrollBarInBands(const QStyleOptionComplex* option, QPainter* painter,
                                       const QWidget* widget) const {
    // Qt hands a gradient fill taller than about 96 device rows to a pool of
    // threads, and starting those costs the first frame more than the fill.
    // Each band of at most 64 rows is drawn into an image of its own, whose
    // edges bound the fills (a clip would not: the style replaces clips).
    const QRect r = option->rect;
    const qreal dpr = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    const int band = std::max(1, int(ScrollBarBandRows / dpr));
    if (r.height() <= band) {
        QProxyStyle::drawComplexControl(CC_ScrollBar, option, painter, widget);
        return;
    }
    for (int top = r.top(); top <= r.bottom(); top += band) {
        const QSize size(r.width(), std::min(band, r.bottom() + 1 - top));
        QImage rows((QSizeF(size) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
        rows.setDevicePixelRatio(dpr);
        rows.fill(Qt::transparent);
        QPainter inBand(&rows);
        inBand.translate(-r.left(), -top);
        QProxyStyle::drawComplexControl(CC_ScrollBar, option, &inBand, widget);
        inBand.end();
        painter->drawImage(QPoint(r.left(), top), rows);
    }
}

void DesignStyle::drawItemText(QPainter* painter, const QRect& rect, int flags,
                               const QPalette& palette, bool enabled, const QString& text,
                               QPalette::ColorRole role) const {
    const bool oneLine = !(flags & Qt::TextWordWrap) && !text.contains(u'\n');
    const qreal narrowing = oneLine ? narrowingToFit(painter->font(), text, rect.width()) : 1.0;
    if (narrowing >= 1.0) {
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
        return;
    }
    // Narrower letters by squeezing the painter rather than by a stretched
    // font: each stretch would cost the font system a face of its own.
    painter->save();
    painter->translate(rect.left(), 0);
    painter->scale(narrowing, 1.0);
    const QRect room(0, rect.top(), qCeil(rect.width() / narrowing), rect.height());
    QProxyStyle::drawItemText(painter, room, flags, palette, enabled, text, role);
    painter->restore();
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
