// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/designlayout.h"

#include <QLabel>
#include <QPushButton>

QLabel* label(QWidget* parent, const QString& name, const QString& text, QRect geometry,
              Qt::Alignment align) {
    auto* l = place<QLabel>(parent, name, geometry);
    l->setText(text);
    l->setAlignment(align | Qt::AlignVCenter);
    return l;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text, QRect geometry) {
    auto* b = place<QPushButton>(parent, name, geometry);
    b->setText(text);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}
