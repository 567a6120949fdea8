// How the desktop program presents itself to the window toolkit: its names, and Qt's own dialogs
// and buttons (file dialogs, message-box buttons) in Chinese like the rest of the program.
#pragma once

class QCoreApplication;
class QString;

namespace gw::app {

// Names the program for the desktop and installs Qt's Chinese texts. Sets no display name: the
// window system would append one to every window and message-box title.
void SetUpApplication(QCoreApplication& application);

// Loads Qt's own Chinese catalogue (qtbase_zh_CN from Qt's translations folder) into
// `application`. False when it is missing or unreadable; Qt's texts then stay in English.
bool InstallChineseQtTexts(QCoreApplication& application);
// The same from the catalogue in `folder`.
bool InstallChineseQtTexts(QCoreApplication& application, const QString& folder);

}  // namespace gw::app
