// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/formmain.h"
#include "ui/formsplash.h"
#include "ui/weblinks.h"

void FormMain::btAbout_Click() {
    // Made anew at every opening, so it is centred and fresh each time.
    FormSplash box(this);
    box.exec();
}

void FormMain::imgHeaderZanthe_Click() {
    openWebPage(makerUrl());
}
