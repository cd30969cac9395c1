// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// Finds text in a log box as it is typed: every match highlighted, the
// current one selected, Next and Previous (F3, Shift+F3, Enter, Shift+Enter),
// Match case, "No match" said plainly. Escape closes it.
class FindBar : public QWidget {
    Q_OBJECT
public:
    FindBar(QPlainTextEdit* target, QWidget* parent);

    // Shows the bar with the focus in its field, the text selected.
    void openBar();
    // Hides the bar and its highlights; the current match stays selected.
    void closeBar();

    // Highlights every match and selects the one at or after the current
    // one (Next: after it; Previous: before it), wrapping round the ends.
    void search();
    void findNext();
    void findPrevious();
    int matchCount() const { return int(m_matches.size()); }
    // Which match is selected, from 0; -1 for none.
    int currentMatch() const { return m_current; }

    QLineEdit* txtFind = nullptr;
    QPushButton* btFindPrevious = nullptr;
    QPushButton* btFindNext = nullptr;
    QCheckBox* CheckMatchCase = nullptr;
    QLabel* lblFindResult = nullptr;
    QPushButton* btCloseFind = nullptr;

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Step { Here, Forward, Back };
    void find(Step step);
    void highlight();
    void markVisible();
    void refreshSoon();

    QPlainTextEdit* m_target;
    QList<qsizetype> m_matches; // positions in the log's text
    qsizetype m_length = 0;     // of the term they match
    int m_current = -1;
    QTimer* m_refresh;
};
