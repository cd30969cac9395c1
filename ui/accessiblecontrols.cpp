// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/accessiblecontrols.h"

#include <QAccessibleWidget>
#include <QCheckBox>
#include <QFrame>
#include <QKeySequence>

namespace {

// A caption as it is read: the access-key ampersands dropped, "&&" kept as "&".
QString readCaption(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

class ClickingCheckBox : public QAccessibleWidget {
public:
    explicit ClickingCheckBox(QCheckBox* box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return readCaption(box()->text());
        if (t == QAccessible::Accelerator)
            return QKeySequence::mnemonic(box()->text()).toString(QKeySequence::NativeText);
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = box()->checkState() == Qt::Checked;
        s.checkStateMixed = box()->checkState() == Qt::PartiallyChecked;
        s.pressed = box()->isDown();
        return s;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (widget()->isEnabled())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action != toggleAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (widget()->isEnabled())
            box()->click();
    }

private:
    QCheckBox* box() const { return static_cast<QCheckBox*>(widget()); }
};

// The shape is read when asked, since a frame may be shaped after it is made.
class FrameOrRule : public QAccessibleWidget {
public:
    explicit FrameOrRule(QFrame* frame) : QAccessibleWidget(frame, QAccessible::Border) {}

    QAccessible::Role role() const override {
        const auto shape = static_cast<QFrame*>(widget())->frameShape();
        return shape == QFrame::HLine || shape == QFrame::VLine ? QAccessible::Separator
                                                                : QAccessible::Border;
    }
};

QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    if (className == u"QCheckBox")
        if (auto* box = qobject_cast<QCheckBox*>(object))
            return new ClickingCheckBox(box);
    if (className == u"QFrame")
        if (auto* frame = qobject_cast<QFrame*>(object))
            return new FrameOrRule(frame);
    return nullptr;
}

} // namespace

void installAccessibleControls() {
    static const bool installed = (QAccessible::installFactory(accessibleControl), true);
    Q_UNUSED(installed);
}
