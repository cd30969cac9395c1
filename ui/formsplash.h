// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPixmap>

class LinkArea;

// The About box: a borderless picture with two link areas. A click elsewhere
// on the picture or a key that produces a character closes it. Each opening
// builds a new box.
class FormSplash : public QDialog {
    Q_OBJECT
public:
    explicit FormSplash(QWidget* parent = nullptr);

    // Over the line inviting a visit to the maker's web site.
    LinkArea* imgAboutZanthe = nullptr;
    // Over the credit line and the author's web address.
    LinkArea* imgAboutAuthor = nullptr;

    void imgAboutZanthe_Click();
    void imgAboutAuthor_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void centreOnScreen();

    QPixmap m_face;
    bool m_pressed = false;
};
