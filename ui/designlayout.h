// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

// What a single-line text box takes. Qt's default of 32767 characters would
// cut long pastes and stored outputs short without a word.
inline constexpr int MaxFieldLength = 1 << 24;

// The windows are designed in twips; 15 twips make one pixel (Qt scales
// pixels on high-DPI screens).
inline QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

// A new control with its designed name and place.
template <typename W> W* place(QWidget* parent, const QString& name, QRect geometry) {
    auto* w = new W(parent);
    w->setObjectName(name);
    w->setGeometry(geometry);
    return w;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, QRect geometry,
              Qt::Alignment align = Qt::AlignLeft);

// A push button that is never a default button: Enter presses it only when
// it has the focus.
QPushButton* button(QWidget* parent, const QString& name, const QString& text, QRect geometry);
