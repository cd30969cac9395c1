// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class FindBar;
class QPlainTextEdit;

// The log in a window of its own: resizable, not modal, in a fixed-width
// font, with a find bar. It belongs to the main window and closes with it.
class LogWindow : public QWidget {
    Q_OBJECT
public:
    explicit LogWindow(QWidget* mainWindow);

    QPlainTextEdit* txtLogWindow = nullptr;
    FindBar* findBar = nullptr;

signals:
    void shown();
    void hidden();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};
