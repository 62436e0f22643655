#pragma once

#include <QIcon>
#include <QPixmap>

namespace korvana::dialogs {

// The studio's picture, drawn rather than stored, so that it is sharp at any
// size and the program carries no image files: a dark panel with the "K"
// mark and the word mark.
QPixmap logoPicture(int width, int height);

// The application icon: the "K" mark alone, at the sizes window managers ask for.
QIcon applicationIcon();

} // namespace korvana::dialogs
