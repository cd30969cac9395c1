// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The windows place their controls on fixed rectangles designed for a compact
// font. This style keeps them whole in whatever font the desktop has, without
// moving a control: a frame's line runs through the middle of its caption, so
// the first control stands below it; a closed list gives its entry the room its
// arrow does not need; a check box's caption sits closer to its box; and a
// caption still wider than its room is set narrower, never smaller. A scroll
// bar is drawn in bands, so that the first frame starts no painting threads.
class DesignStyle : public QProxyStyle {
    Q_OBJECT
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& text,
                      QPalette::ColorRole role = QPalette::NoRole) const override;

private:
    void drawScrollBarInBands(const QStyleOptionComplex* option, QPainter* painter,
                              const QWidget* widget) const;
};

// Gives the window and every control in it (not other windows) the style.
void applyDesignStyle(QWidget* window);
