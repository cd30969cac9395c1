// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/weblinks.h"

#include <QDesktopServices>

// The project has no domain of its own yet: the reserved example.com stands in.

QString makerName() {
    return QStringLiteral("Zanthe Labs");
}

QUrl makerUrl() {
    return QUrl(QStringLiteral("https://www.example.com/"));
}

QString makerSiteName() {
    return makerUrl().host();
}

QString makerToolTip() {
    return QStringLiteral("Visit the %1 web site at %2").arg(makerName(), makerSiteName());
}

QString authorCredit() {
    return QStringLiteral("the Brovik developers");
}

QUrl authorUrl() {
    return QUrl(QStringLiteral("https://developers.example.com/brovik"));
}

QString authorSiteName() {
    return authorUrl().host() + authorUrl().path();
}

QString authorToolTip() {
    return QStringLiteral("Visit author's website");
}

QString contactEmail() {
    return QStringLiteral("brovik@example.com");
}

void openWebPage(const QUrl& url) {
    QDesktopServices::openUrl(url);
}
