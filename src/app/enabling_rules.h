// Check boxes of the main window that switch other controls on and off: a dependent control is
// enabled exactly while its check box is checked; its value never changes.
#pragma once

#include <QStringList>
#include <vector>

class QWidget;

namespace gw::app {

struct EnablingRule {
  QString checkBox;
  QStringList dependents;
};

// The rules in the order the window applies them after loading its settings.
const std::vector<EnablingRule>& EnablingRules();

// Applies one rule to the controls of `window`.
void ApplyEnablingRule(QWidget& window, const EnablingRule& rule);
// Applies every rule once, in order.
void ApplyEnablingRules(QWidget& window);
// Applies each rule again whenever its check box changes.
void ConnectEnablingRules(QWidget& window);

}  // namespace gw::app
