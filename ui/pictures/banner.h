// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QSize>

class QPainter;

// The banner across the top of the main window: the program's name and
// tagline on the left, the maker's logo from LogoLeft onwards.
inline constexpr QSize BannerSize{426, 51};
inline constexpr int BannerLogoLeft = 255;
inline constexpr int BannerLogoWidth = 170;

// The banner at BannerSize logical pixels for a device pixel ratio.
QPixmap bannerPixmap(qreal dpr = 1.0);

// Paints the banner into (0, 0, BannerSize) of the painter's coordinates.
void paintBanner(QPainter& painter);
