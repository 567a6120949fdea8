#include "app/option_binding.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QWidget>
#include <type_traits>

#include "app/control_access.h"
#include "app/qt_text.h"

namespace gw::app {
namespace {

QString TextOf(const QWidget& control) {
  if (const auto* combo = qobject_cast<const QComboBox*>(&control)) {
    return combo->currentText();
  }
  if (IsEditBox(control)) {
    return EditBoxText(control);
  }
  return ControlTag(control);  // a button: its tag
}

void SetTextOf(QWidget& control, const QString& text) {
  if (auto* combo = qobject_cast<QComboBox*>(&control)) {
    if (combo->isEditable()) {
      combo->setEditText(text);
    } else if (const int index = combo->findText(text); index >= 0) {
      combo->setCurrentIndex(index);
    }
  } else if (IsEditBox(control)) {
    SetEditBoxText(control, text);
  } else {
    SetControlTag(control, text);
  }
}

}  // namespace

QWidget* OptionControl(QWidget& window, const OptionSpec& row) {
  const QString name =
      QString::fromUtf8(row.control.data(), static_cast<qsizetype>(row.control.size()));
  return window.findChild<QWidget*>(name);
}

QList<QWidget*> OptionControls(QWidget& window) {
  QList<QWidget*> controls;
  for (const OptionSpec& row : OptionTable()) {
    if (QWidget* control = OptionControl(window, row)) {
      controls.append(control);
    }
  }
  return controls;
}

Options GatherOptions(QWidget& window) {
  Options options = Options::FormDefaults();
  for (const OptionSpec& row : OptionTable()) {
    const QWidget* control = OptionControl(window, row);
    if (!control) {
      continue;
    }
    std::visit(
        [&](auto member) {
          auto& value = options.*member;
          using Value = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<Value, bool>) {
            if (const auto* box = qobject_cast<const QAbstractButton*>(control)) {
              value = box->isChecked();
            }
          } else if constexpr (std::is_same_v<Value, int>) {
            if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
              value = combo->currentIndex();
            }
          } else {
            value = ToGbk(TextOf(*control));
          }
        },
        row.field);
  }
  return options;
}

void ApplyOptions(QWidget& window, const Options& options) {
  for (const OptionSpec& row : OptionTable()) {
    QWidget* control = OptionControl(window, row);
    if (!control) {
      continue;
    }
    std::visit(
        [&](auto member) {
          const auto& value = options.*member;
          using Value = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<Value, bool>) {
            if (auto* box = qobject_cast<QAbstractButton*>(control)) {
              box->setChecked(value);
            }
          } else if constexpr (std::is_same_v<Value, int>) {
            auto* combo = qobject_cast<QComboBox*>(control);
            if (combo && value >= 0 && value < combo->count()) {
              combo->setCurrentIndex(value);
            }
          } else {
            SetTextOf(*control, FromGbk(value));
          }
        },
        row.field);
  }
}

}  // namespace gw::app
