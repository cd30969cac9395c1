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

protected:
    bool event(QEvent* event) override;

private:
    std::function<QString()> m_details;
};
