// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/linkarea.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

namespace {

class AccessibleLinkArea : public QAccessibleWidget {
public:
    explicit AccessibleLinkArea(LinkArea* area) : QAccessibleWidget(area, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return widget()->toolTip();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction())
            emit static_cast<LinkArea*>(widget())->clicked();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* accessibleLinkArea(const QString& className, QObject* object) {
    if (className == u"LinkArea")
        if (auto* area = qobject_cast<LinkArea*>(object))
            return new AccessibleLinkArea(area);
    return nullptr;
}

} // namespace

LinkArea::LinkArea(QWidget* parent) : QWidget(parent) {
    static const bool accessible = (QAccessible::installFactory(accessibleLinkArea), true);
    Q_UNUSED(accessible);
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
