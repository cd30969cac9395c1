// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/findbar.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>

namespace {

// A window-wide shortcut, so it works wherever the focus is in the window.
void addShortcut(QWidget* owner, const QKeySequence& keys, std::function<void()> run) {
    auto* action = new QAction(owner);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, owner, std::move(run));
    owner->addAction(action);
}

} // namespace

FindBar::FindBar(QPlainTextEdit* target, QWidget* parent)
    : QWidget(parent), m_target(target), m_refresh(new QTimer(this)) {
    setObjectName(QStringLiteral("findBar"));
    setAccessibleName(QStringLiteral("Find in log"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);

    auto* caption = new QLabel(QStringLiteral("Fi&nd:"), this);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setAccessibleName(QStringLiteral("Find"));
    txtFind->setClearButtonEnabled(true);
    caption->setBuddy(txtFind);
    btFindPrevious = new QPushButton(QStringLiteral("&Previous"), this);
    btFindPrevious->setObjectName(QStringLiteral("btFindPrevious"));
    btFindPrevious->setToolTip(QStringLiteral("Previous match (Shift+F3)"));
    btFindNext = new QPushButton(QStringLiteral("N&ext"), this);
    btFindNext->setObjectName(QStringLiteral("btFindNext"));
    btFindNext->setToolTip(QStringLiteral("Next match (F3, Enter)"));
    CheckMatchCase = new QCheckBox(QStringLiteral("&Match case"), this);
    CheckMatchCase->setObjectName(QStringLiteral("CheckMatchCase"));
    lblFindResult = new QLabel(this);
    lblFindResult->setObjectName(QStringLiteral("lblFindResult"));
    lblFindResult->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000 of 0000")));
    btCloseFind = new QPushButton(QStringLiteral("Close"), this);
    btCloseFind->setObjectName(QStringLiteral("btCloseFind"));
    btCloseFind->setToolTip(QStringLiteral("Close the find bar (Escape)"));
    btCloseFind->setAccessibleName(QStringLiteral("Close find bar"));
    for (QPushButton* b : {btFindPrevious, btFindNext, btCloseFind})
        b->setAutoDefault(false);
    row->addWidget(caption);
    row->addWidget(txtFind, 1);
    row->addWidget(btFindPrevious);
    row->addWidget(btFindNext);
    row->addWidget(CheckMatchCase);
    row->addWidget(lblFindResult);
    row->addWidget(btCloseFind);

    connect(txtFind, &QLineEdit::textChanged, this, &FindBar::search);
    connect(CheckMatchCase, &QCheckBox::toggled, this, &FindBar::search);
    connect(btFindNext, &QPushButton::clicked, this, &FindBar::findNext);
    connect(btFindPrevious, &QPushButton::clicked, this, &FindBar::findPrevious);
    connect(btCloseFind, &QPushButton::clicked, this, &FindBar::closeBar);
    txtFind->installEventFilter(this);
    addShortcut(this, QKeySequence(Qt::Key_F3), [this] { findNext(); });
    addShortcut(this, QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { findPrevious(); });
    auto* escape = new QAction(this);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    escape->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QAction::triggered, this, &FindBar::closeBar);
    addAction(escape);

    // New entries bring new matches; look again once they have settled.
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(300);
    connect(m_refresh, &QTimer::timeout, this, [this] {
        if (isVisible())
            highlight();
    });
    connect(m_target->document(), &QTextDocument::contentsChanged, this, &FindBar::refreshSoon);
    connect(m_target->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (isVisible())
            markVisible();
    });
    m_target->viewport()->installEventFilter(this);
}

void FindBar::refreshSoon() {
    if (isVisible() && !txtFind->text().isEmpty() && !m_refresh->isActive())
        m_refresh->start();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_target->viewport() && event->type() == QEvent::Resize && isVisible())
        markVisible();
    if (watched == txtFind && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier)
                findPrevious();
            else
                findNext();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::openBar() {
    show();
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
    if (!txtFind->text().isEmpty())
        search();
}

void FindBar::closeBar() {
    hide();
    m_target->setExtraSelections({});
    m_matches.clear();
    m_current = -1;
    m_target->setFocus(Qt::OtherFocusReason);
    emit closed();
}

void FindBar::search() {
    find(Step::Here);
}
void FindBar::findNext() {
    find(Step::Forward);
}
void FindBar::findPrevious() {
    find(Step::Back);
}

void FindBar::find(Step step) {
    highlight();
    if (m_matches.isEmpty())
        return;
    // From the current selection: incremental typing keeps its place.
    const QTextCursor at = m_target->textCursor();
    const qsizetype from = at.hasSelection() ? at.selectionStart() : at.position();
    const auto first = std::lower_bound(m_matches.cbegin(), m_matches.cend(), from);
    qsizetype i = first - m_matches.cbegin();
    const int n = int(m_matches.size());
    if (step == Step::Forward)
        i = (i < n && m_matches[i] == from && at.hasSelection()) ? i + 1 : i;
    else if (step == Step::Back)
        i -= 1;
    m_current = int((i % n + n) % n); // round the ends

    QTextCursor match(m_target->document());
    match.setPosition(int(m_matches[m_current]));
    match.setPosition(int(m_matches[m_current] + txtFind->text().size()), QTextCursor::KeepAnchor);
    m_target->setTextCursor(match); // scrolls it into view; the log then holds still
    lblFindResult->setText(
        QStringLiteral("%1 of %2").arg(QString::number(m_current + 1), QString::number(n)));
}

void FindBar::highlight() {
    const QString term = txtFind->text();
    m_matches.clear();
    m_current = -1;
    m_length = term.size();
    if (!term.isEmpty()) {
        // Positions in the document's plain text are its cursor positions.
        const QString text = m_target->document()->toPlainText();
        const Qt::CaseSensitivity cs =
            CheckMatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (qsizetype at = text.indexOf(term, 0, cs); at >= 0;
             at = text.indexOf(term, at + term.size(), cs))
            m_matches.append(at);
    }
    markVisible();
    // The selected match, when there is one, keeps its place in the count.
    const QTextCursor at = m_target->textCursor();
    const auto here = std::lower_bound(m_matches.cbegin(), m_matches.cend(), at.selectionStart());
    if (here != m_matches.cend() && *here == at.selectionStart() &&
        at.selectedText().size() == term.size())
        m_current = int(here - m_matches.cbegin());
    if (term.isEmpty())
        lblFindResult->clear();
    else if (m_matches.isEmpty())
        lblFindResult->setText(QStringLiteral("No match"));
    else if (m_current >= 0)
        lblFindResult->setText(
            QStringLiteral("%1 of %2")
                .arg(QString::number(m_current + 1), QString::number(m_matches.size())));
    else
        lblFindResult->setText(QStringLiteral("%1 found").arg(m_matches.size()));
}

// Every match in view is highlighted; marking the thousands out of view
// would cost more than the search, so they are marked as they scroll in.
void FindBar::markVisible() {
    QList<QTextEdit::ExtraSelection> marks;
    if (!m_matches.isEmpty()) {
        const QRect view = m_target->viewport()->rect();
        const qsizetype first = m_target->cursorForPosition(view.topLeft()).block().position();
        const QTextBlock last = m_target->cursorForPosition(view.bottomRight()).block();
        const qsizetype end = last.position() + last.length();
        QTextCharFormat look;
        look.setBackground(QColor(255, 225, 80));
        look.setForeground(Qt::black);
        auto m = std::lower_bound(m_matches.cbegin(), m_matches.cend(), first - m_length);
        for (; m != m_matches.cend() && *m < end; ++m) {
            QTextCursor c(m_target->document());
            c.setPosition(int(*m));
            c.setPosition(int(*m + m_length), QTextCursor::KeepAnchor);
            marks.append({c, look});
        }
    }
    m_target->setExtraSelections(marks);
}
