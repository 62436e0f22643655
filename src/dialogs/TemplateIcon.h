#pragma once

#include <QIcon>
#include <string>

namespace korvana::dialogs {

// The icon a template list shows, 32 by 32 pixels. The template's "_Icon.ico"
// when it can be read as an image of a sensible size; the standard picture
// otherwise (no file, a damaged file, an image far beyond what a list shows).
QIcon templateIcon(const std::string& iconFile, const QIcon& standard);

// The picture of a template that brings no icon of its own.
QIcon standardTemplateIcon();

} // namespace korvana::dialogs
