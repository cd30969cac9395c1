// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/formmain.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

// Only a QDialog has a default button, so the main window makes its own:
// Enter on any control but a push button presses Send Data.
void FormMain::installKeyboard() {
    for (QWidget* w : findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus)
            w->installEventFilter(this);
}

bool FormMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QWidget::eventFilter(watched, event);
    // Controls of the file dialog (a child window) keep their own Enter.
    if (auto* w = qobject_cast<QWidget*>(watched); !w || w->window() != this)
        return QWidget::eventFilter(watched, event);

    if (auto* button = qobject_cast<QPushButton*>(watched)) {
        if (button->isEnabled())
            button->click();
        return true;
    }
    if (watched == txtLog && (key->modifiers() & Qt::ControlModifier)) {
        txtLog->textCursor().insertBlock(); // Ctrl+Enter: a line break in the log
        return true;
    }
    btSendData->click();
    return true;
}

void FormMain::keyPressEvent(QKeyEvent* event) {
    // The main window has no cancel button: Escape does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
