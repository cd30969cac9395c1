// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/finddialog.h"

#include "ui/findbar.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

FindDialog::FindDialog(QPlainTextEdit* log, QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName(QStringLiteral("formFind"));
    setWindowTitle(QStringLiteral("Find in Log"));
    setAccessibleName(windowTitle());
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    findBar = new FindBar(log, this);
    layout->addWidget(findBar);
    connect(findBar, &FindBar::closed, this, &QDialog::hide);
}

void FindDialog::openOver(QWidget* log) {
    if (!isVisible()) {
        adjustSize();
        const QPoint below = log->mapToGlobal(QPoint(0, log->height()));
        move(below.x(), below.y() - height() / 2);
    }
    show();
    raise();
    activateWindow();
    findBar->openBar();
}

void FindDialog::reject() {
    findBar->closeBar();
    QDialog::reject();
}
