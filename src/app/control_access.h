// Uniform access to the state of the window's controls: the text of any kind of edit box and the
// free-form tag every control may carry (a dynamic property, "tag").
#pragma once

#include <QString>

class QObject;
class QWidget;

namespace gw::app {

// Name of the dynamic property that holds a control's tag.
inline constexpr char kTagProperty[] = "tag";
// Tags that change how the settings walk treats a control.
inline constexpr char16_t kTagNeverSave[] = u"禁止保存";
inline constexpr char16_t kTagBytesMode[] = u"字节集方式";

QString ControlTag(const QObject& control);
void SetControlTag(QObject& control, const QString& tag);

// True for the widgets that serve as edit boxes: single- and multi-line text boxes, digit boxes
// with up/down buttons, and spin boxes (whose text is their value).
bool IsEditBox(const QWidget& widget);
// An edit box's text; line breaks of multi-line boxes as CR LF. Empty for other widgets.
QString EditBoxText(const QWidget& box);
// Sets an edit box's text (CR LF or LF line breaks); a digit box takes it as it is. A spin box
// takes only a whole number within its range; other texts leave it as it was. Returns false when
// the text was not taken.
bool SetEditBoxText(QWidget& box, const QString& text);

}  // namespace gw::app
