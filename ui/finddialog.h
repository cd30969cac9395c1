// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class FindBar;
class QPlainTextEdit;

// The find bar of the main window's log, in a small window of its own over
// the main window, whose designed layout has no room for it.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    FindDialog(QPlainTextEdit* log, QWidget* mainWindow);
    // Shows it over the log, the focus in its field.
    void openOver(QWidget* log);

    FindBar* findBar = nullptr;

protected:
    // Closed from its frame too, it takes its highlights with it.
    void reject() override;
};
