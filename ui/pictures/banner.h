// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>

class QPainter;

// The banner across the top of the main window: the program's name and
// tagline on the left, the maker's logo from LogoLeft onwards.
inline constexpr QSize BannerSize{426, 51};
inline constexpr int BannerLogoLeft = 255;
inline constexpr int BannerLogoWidth = 170;

// The banner at BannerSize logical pixels for a device pixel ratio: the one
// painted when the program was built where there is one for that ratio,
// otherwise painted now.
QPixmap bannerPixmap(qreal dpr = 1.0);

// The banner painted now.
QPixmap paintedBannerPixmap(qreal dpr);

// Banners painted at build time are kept as their bare pixels, in
// PrepaintedFormat (the banner is opaque, and a pixmap takes these as they
// are), at BannerSize times the pixel ratio: decoding an image file would
// take the first frame longer than painting.
inline constexpr char PrepaintedFolder[] = ":/pictures/";
inline constexpr QImage::Format PrepaintedFormat = QImage::Format_RGB32;

// The name of the banner painted at build time for a pixel ratio, or an
// empty name where none is painted then.
QString prepaintedBannerName(qreal dpr);

// The banner painted at build time for a pixel ratio, or a null image where
// the program holds none.
QImage prepaintedBanner(qreal dpr);

// Paints the banner into (0, 0, BannerSize) of the painter's coordinates.
void paintBanner(QPainter& painter);
