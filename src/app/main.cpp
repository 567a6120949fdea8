// The desktop program: binds the settings store to the settings file, shows the main window and
// runs the window event loop until it is closed.
#include <QApplication>

#include "app/application_setup.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "settings/settings_location.h"
#include "settings/settings_store.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  gw::app::SetUpApplication(application);

  gw::SettingsStore settings;
  // A file another running copy holds is only read; the window says so when asked to save.
  settings.setPath(gw::SettingsFileLocation(), 0);

  gw::app::QtDialogs dialogs;
  gw::app::MainWindow window(settings, dialogs);
  window.show();
  return QApplication::exec();
}
