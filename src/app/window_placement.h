// Where the program's windows first appear on the screen: the main window at the top, a little in
// from the left edge; the auxiliary windows (blocked-word settings, phrase editor, text input)
// a little lower.
#pragma once

#include <QPoint>

namespace gw::app {

inline constexpr QPoint kMainWindowPosition{50, 0};
inline constexpr QPoint kAuxiliaryWindowPosition{50, 50};

}  // namespace gw::app
