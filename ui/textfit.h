#pragma once

class QWidget;

// The windows are laid out to fixed designed sizes. Fonts differ between
// desktops, so every caption that would not fit its control is drawn a
// little smaller instead of being clipped.
void fitCaptions(QWidget* root);

// The font the windows use: a compact sans serif at the size the layout was
// designed for, falling back to whatever sans serif the desktop has.
void applyDesignFont(QWidget* window);
