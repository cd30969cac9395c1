#pragma once

#include <QWidget>

// An invisible hotspot laid over part of a picture: it paints nothing, shows
// its tooltip and the "what's this" pointer, and reports a click (a left
// button press and release over it).
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
