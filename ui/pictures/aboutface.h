// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

// The face of the About box: one picture with the program's name, version,
// purpose and credits. The box lays its two link areas over the lines below.
inline constexpr QSize AboutFaceSize{291, 186};
// The line inviting a visit to the maker's web site.
inline constexpr QRect AboutMakerLine{5, 135, 281, 16};
// The credit with the contact address and the author's web address under it.
inline constexpr QRect AboutAuthorLines{5, 160, 281, 21};

// The texts the face shows under the banner, top to bottom, for the picture
// and for assistive technology alike.
QString aboutVersionText();
QString aboutPurposeText();
QString aboutDonationText();
QString aboutVisitText();
QString aboutCreditText();
QString aboutAuthorAddress();

// The face at AboutFaceSize logical pixels for a device pixel ratio.
QPixmap aboutFacePixmap(qreal dpr = 1.0);
