// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/formmain.h"
#include "ui/formoptions.h"

void FormMain::btOptions_Click() {
    // Made anew at every opening, so each opening starts from the design state.
    FormOptions dlg(this, *m_terminal);
    dlg.load();
    dlg.exec();
    // OK or Apply may have stored new outputs.
    updateOutputDescriptions();
}
