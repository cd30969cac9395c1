// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

// Every web address, name and contact the program shows lives here, so that
// the pictures, the tooltips and the link handlers never disagree.

// The maker whose logo is on the banner.
QString makerName();
// The maker's web page and its address as people read it ("www.example.com").
QUrl makerUrl();
QString makerSiteName();
// Tooltip of every link to the maker's page: an invitation that names the site.
QString makerToolTip();

// Whom the About box credits, their page and how to reach them.
QString authorCredit();
QUrl authorUrl();
QString authorSiteName();
QString authorToolTip();
QString contactEmail();

// Opens a page in the user's browser. A page that cannot be opened is not
// reported: the click simply has no visible effect.
void openWebPage(const QUrl& url);
