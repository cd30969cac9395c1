#pragma once

#include <QPixmap>
#include <QRect>
#include <QSize>

// The face of the About box: one picture with the program's name, version,
// purpose and credits. The box lays its two link areas over the lines below.
inline constexpr QSize AboutFaceSize{291, 186};
// The line inviting a visit to the maker's web site.
inline constexpr QRect AboutMakerLine{5, 135, 281, 16};
// The credit with the contact address and the author's web address under it.
inline constexpr QRect AboutAuthorLines{5, 160, 281, 21};

// The face at AboutFaceSize logical pixels for a device pixel ratio.
QPixmap aboutFacePixmap(qreal dpr = 1.0);
