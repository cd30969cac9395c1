// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

#include <functional>

// A status bar panel whose tooltip tells more than its text. The tooltip is
// worked out afresh whenever it is about to show, so it is never out of date.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    StatusPanel(QWidget* parent, std::function<QString()> details);
    void refreshDetails();
    // At the program's start: working the details out may list the system's
    // serial devices (tens of milliseconds), so until the panel is first on
    // screen, where nobody can read it yet, that waits for just after it.
    void holdDetailsUntilShown() { m_holding = true; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<QString()> m_details;
    bool m_holding = false;
    bool m_stale = false; // details asked for while held
};
