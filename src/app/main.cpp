// The desktop program: binds the settings store to the settings file, shows the main window and
// runs the window event loop until it is closed.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "gw_version.h"

#include "app/application_setup.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "settings/settings_location.h"
#include "settings/settings_store.h"

int main(int argc, char* argv[]) {
  // Answered before the application object exists, so that it needs no display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("gathwrite " GW_VERSION);
    return 0;
  }
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
