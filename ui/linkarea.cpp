#include "ui/linkarea.h"

#include <QMouseEvent>

LinkArea::LinkArea(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::WhatsThisCursor);
    setFocusPolicy(Qt::NoFocus);
}

void LinkArea::mousePressEvent(QMouseEvent* event) {
    // Accepted, so a press on the hotspot never reaches the picture under it.
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void LinkArea::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}
