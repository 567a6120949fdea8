// The pictures of the main window, drawn at run time: the banner's two picture buttons and the
// program icon (the same drawing as resources/gathwrite.svg).
#pragma once

#include <QIcon>

namespace gw::app {

QIcon SaveSettingsIcon();  // a diskette
QIcon HelpIcon();          // a question mark in a circle
QIcon ProgramIcon();       // a chat bubble turning into a page

}  // namespace gw::app
