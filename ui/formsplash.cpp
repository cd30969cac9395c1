// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/formsplash.h"

#include "ui/linkarea.h"
#include "ui/pictures/aboutface.h"
#include "ui/weblinks.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStringList>

namespace {

// Link areas in twips (Left, Top, Width, Height); 15 twips make one pixel.
constexpr QRect fromTwips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

// Whether a key press produces a character. Qt gives control characters for
// Enter, Escape, Backspace, Tab and Ctrl+letter, and no text for keys such as
// arrows, function keys or modifiers on their own. Delete is not a character
// key even where the platform reports it as DEL.
bool producesCharacter(const QKeyEvent* event) {
    // Alt+letter is a menu accelerator, not typing, even where X gives it a text.
    if (event->modifiers() & Qt::AltModifier)
        return false;
    const QString text = event->text();
    return !text.isEmpty() && text != QStringLiteral("\x7f");
}

} // namespace

FormSplash::FormSplash(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("formSplash"));
    setFixedSize(AboutFaceSize);
    setModal(true);
    // The face is one picture: its text is told to assistive technology here.
    setAccessibleName(QStringLiteral("About Brovik"));
    setAccessibleDescription(QStringList{aboutVersionText(), aboutPurposeText(),
                                         aboutDonationText(), aboutVisitText(), aboutCreditText(),
                                         aboutAuthorAddress()}
                                 .join(u'\n'));

    imgAboutZanthe = new LinkArea(this);
    imgAboutZanthe->setObjectName(QStringLiteral("imgAboutZanthe"));
    imgAboutZanthe->setGeometry(fromTwips(75, 2025, 4215, 240));
    imgAboutZanthe->setToolTip(makerToolTip());
    imgAboutZanthe->setAccessibleName(aboutVisitText());
    connect(imgAboutZanthe, &LinkArea::clicked, this, &FormSplash::imgAboutZanthe_Click);

    imgAboutAuthor = new LinkArea(this);
    imgAboutAuthor->setObjectName(QStringLiteral("imgAboutAuthor"));
    imgAboutAuthor->setGeometry(fromTwips(75, 2400, 4215, 315));
    imgAboutAuthor->setToolTip(authorToolTip());
    imgAboutAuthor->setAccessibleName(aboutAuthorAddress());
    connect(imgAboutAuthor, &LinkArea::clicked, this, &FormSplash::imgAboutAuthor_Click);
}

void FormSplash::imgAboutZanthe_Click() {
    openWebPage(makerUrl());
}

void FormSplash::imgAboutAuthor_Click() {
    openWebPage(authorUrl());
}

void FormSplash::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    move(available.topLeft() +
         QPoint((available.width() - width()) / 2, (available.height() - height()) / 2));
}

void FormSplash::showEvent(QShowEvent* event) {
    // Sent before the window is mapped, so the box appears in its place.
    centreOnScreen();
    QDialog::showEvent(event);
}

void FormSplash::paintEvent(QPaintEvent*) {
    const qreal dpr = devicePixelRatioF();
    if (m_face.isNull() || !qFuzzyCompare(m_face.devicePixelRatio(), dpr))
        m_face = aboutFacePixmap(dpr);
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_face);
}

void FormSplash::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void FormSplash::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        accept();
}

void FormSplash::keyPressEvent(QKeyEvent* event) {
    // Handled here rather than by QDialog, whose Escape and Enter handling
    // would also reach for buttons the box does not have.
    event->accept();
    if (producesCharacter(event))
        accept();
}
