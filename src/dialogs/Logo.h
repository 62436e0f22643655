#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace korvana::dialogs {

// The studio's picture, drawn rather than stored, so that it is sharp at any
// size and the program carries no image files: a dark panel with the "K"
// mark and the word mark.
QPixmap logoPicture(int width, int height);

// The "K" mark alone on a rounded panel, `size` pixels square: the program's
// icon in its window and, rendered at build time, in the desktop's menus.
QImage applicationIconImage(int size);

// The application icon at the sizes window managers ask for.
QIcon applicationIcon();

} // namespace korvana::dialogs
