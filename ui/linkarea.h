// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// An invisible hotspot laid over part of a picture: it paints nothing, shows
// its tooltip and the "what's this" pointer, and reports a click (a left
// button press and release over it). It never takes the keyboard focus;
// assistive technology sees a link, named by its accessible name (else its
// tooltip), whose Press action is a click.
class LinkArea : public QWidget {
    Q_OBJECT
public:
    explicit LinkArea(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
