// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/logwindow.h"

#include "ui/findbar.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

LogWindow::LogWindow(QWidget* mainWindow) : QWidget(mainWindow, Qt::Window) {
    setObjectName(QStringLiteral("formLog"));
    setWindowTitle(QStringLiteral("Brovik Log"));
    setAccessibleName(windowTitle());
    // Closing the main window ends the program, this one open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(720, 480);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    txtLogWindow = new QPlainTextEdit(this);
    txtLogWindow->setObjectName(QStringLiteral("txtLogWindow"));
    txtLogWindow->setAccessibleName(QStringLiteral("Activity log"));
    txtLogWindow->setReadOnly(true);
    // Read-only still reads and selects from the keyboard (Ctrl+End, Shift+arrows).
    txtLogWindow->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtLogWindow->setUndoRedoEnabled(false);
    txtLogWindow->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtLogWindow->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    layout->addWidget(txtLogWindow, 1);
    findBar = new FindBar(txtLogWindow, this);
    findBar->hide();
    layout->addWidget(findBar);
    setFocusProxy(txtLogWindow);
}

void LogWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit shown();
}

void LogWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit hidden();
}
