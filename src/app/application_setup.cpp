#include "app/application_setup.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace gw::app {

void SetUpApplication(QCoreApplication& application) {
  QCoreApplication::setApplicationName(QStringLiteral("Gathwrite"));
  QGuiApplication::setDesktopFileName(QStringLiteral("gathwrite"));
  InstallChineseQtTexts(application);
}

bool InstallChineseQtTexts(QCoreApplication& application) {
  return InstallChineseQtTexts(application, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool InstallChineseQtTexts(QCoreApplication& application, const QString& folder) {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                        QStringLiteral("_"), folder) ||
      !QCoreApplication::installTranslator(translator.get())) {
    return false;
  }
  translator.release()->setParent(&application);  // the application owns it from now on
  return true;
}

}  // namespace gw::app
