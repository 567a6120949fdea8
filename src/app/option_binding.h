// The one mapping between the main window's controls and the engine's Options, row by row of the
// option table: each row names its control, and the control's type decides how its value is
// read and written (check box: checked; drop-down list: selected index; edit box or editable
// drop-down list: text; button: its tag).
#pragma once

#include <QList>

#include "engine/options.h"

class QWidget;

namespace gw::app {

// The control of an option row inside `window`; nullptr when the window has none.
QWidget* OptionControl(QWidget& window, const OptionSpec& row);
// Every control of the option table that `window` holds, in table order.
QList<QWidget*> OptionControls(QWidget& window);

// The options as the controls hold them now. Rows without a control keep their form default.
Options GatherOptions(QWidget& window);
// Puts every option into its control. Values a control cannot take (an index beyond its items,
// a spin box value out of range) leave it as it was.
void ApplyOptions(QWidget& window, const Options& options);

}  // namespace gw::app
