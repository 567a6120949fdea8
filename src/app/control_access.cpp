#include "app/control_access.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QVariant>

#include "app/digit_spin_box.h"
#include "app/qt_text.h"

namespace gw::app {

QString ControlTag(const QObject& control) {
  return control.property(kTagProperty).toString();
}

void SetControlTag(QObject& control, const QString& tag) {
  control.setProperty(kTagProperty, tag);
}

bool IsEditBox(const QWidget& widget) {
  return qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QPlainTextEdit*>(&widget) ||
         qobject_cast<const QTextEdit*>(&widget) || qobject_cast<const QSpinBox*>(&widget) ||
         qobject_cast<const DigitSpinBox*>(&widget);
}

QString EditBoxText(const QWidget& box) {
  if (const auto* line = qobject_cast<const QLineEdit*>(&box)) {
    return line->text();
  }
  if (const auto* plain = qobject_cast<const QPlainTextEdit*>(&box)) {
    return ToCrLf(plain->toPlainText());
  }
  if (const auto* rich = qobject_cast<const QTextEdit*>(&box)) {
    return ToCrLf(rich->toPlainText());
  }
  if (const auto* spin = qobject_cast<const QSpinBox*>(&box)) {
    return QString::number(spin->value());
  }
  if (const auto* digits = qobject_cast<const DigitSpinBox*>(&box)) {
    return digits->text();
  }
  return {};
}

bool SetEditBoxText(QWidget& box, const QString& text) {
  if (auto* line = qobject_cast<QLineEdit*>(&box)) {
    line->setText(text);
    return true;
  }
  if (auto* plain = qobject_cast<QPlainTextEdit*>(&box)) {
    if (plain->toPlainText() != ToLf(text)) {
      plain->setPlainText(ToLf(text));
    }
    return true;
  }
  if (auto* rich = qobject_cast<QTextEdit*>(&box)) {
    rich->setPlainText(ToLf(text));
    return true;
  }
  if (auto* spin = qobject_cast<QSpinBox*>(&box)) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < spin->minimum() || value > spin->maximum()) {
      return false;
    }
    spin->setValue(value);
    return true;
  }
  if (auto* digits = qobject_cast<DigitSpinBox*>(&box)) {
    digits->setText(text);
    return true;
  }
  return false;
}

}  // namespace gw::app
