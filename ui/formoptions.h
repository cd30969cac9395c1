// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/optionslogic.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Terminal;

// The Options dialog: its layout, keyboard and controls. What it shows and
// what applying does is the session's (settings/optionslogic.cpp).
class FormOptions : public QDialog {
    Q_OBJECT
public:
    FormOptions(QWidget* owner, Terminal& terminal);

    // Centres the dialog and fills it from the live configuration.
    void load();
    void showCurrentSettings();
    // Applies the dialog: the flag, the outputs, the port; then the main
    // window saves the rest. Asks the user when a step fails.
    void saveSettings();

    void CheckAutoClear_Click();
    void cmdOK_Click();
    void cmdApply_Click();
    void cmdCancel_Click();

    // Controls, named as in the design.
    QGroupBox* fraDataField = nullptr;
    QCheckBox* CheckAutoClear = nullptr;
    QGroupBox* fraCOMSettings = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* ComboPort = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* ComboBaudRate = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* ComboDataBits = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* ComboStopBits = nullptr;
    QLabel* Label5 = nullptr;
    QComboBox* ComboParity = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* ComboFlow = nullptr;
    QGroupBox* fraOutputs = nullptr;
    QLabel* Label7 = nullptr; // "Out1:" ... Label14 "Out8:", level with TextOut1(0 ... 7)
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    std::array<QLineEdit*, 8> TextOut1{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();
    void connectEvents();
    void showView(const OptionsView& view);
    OptionsView currentView() const;

    Terminal& m_terminal;
    // Output boxes whose text may be stored: shown by the fill, or edited.
    std::array<bool, SettingsKeys::OutputCount> m_outputKnown{};
    bool m_filling = false;
};
