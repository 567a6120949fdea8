#include "app/digit_spin_box.h"

#include <QLineEdit>
#include <algorithm>
#include <limits>
#include <optional>

namespace gw::app {
namespace {

bool AllDigits(const QString& text) {
  return std::all_of(text.begin(), text.end(),
                     [](QChar c) { return c >= QChar('0') && c <= QChar('9'); });
}

// The number a box's text stands for when the buttons step from it: empty counts as 0, a run of
// digits too long for a number counts as the largest one; any other text stands for none.
std::optional<qint64> SteppingNumber(const QString& text) {
  if (!AllDigits(text)) {
    return std::nullopt;
  }
  if (text.isEmpty()) {
    return 0;
  }
  bool ok = false;
  const qint64 number = text.toLongLong(&ok);
  return ok ? number : std::numeric_limits<qint64>::max();
}

}  // namespace

DigitSpinBox::DigitSpinBox(QWidget* parent) : QAbstractSpinBox(parent) {
  connect(lineEdit(), &QLineEdit::textChanged, this, &DigitSpinBox::textChanged);
}

void DigitSpinBox::setText(const QString& text) {
  // The line edit takes a set text without asking the validator.
  lineEdit()->setText(text);
}

void DigitSpinBox::setMinimum(int minimum) {
  minimum_ = minimum;
  maximum_ = std::max(maximum_, minimum);
}

void DigitSpinBox::setMaximum(int maximum) {
  maximum_ = maximum;
  minimum_ = std::min(minimum_, maximum);
}

void DigitSpinBox::stepBy(int steps) {
  const std::optional<qint64> number = SteppingNumber(text());
  if (steps == 0 || (number && steps > 0 && *number >= maximum_) ||
      (number && steps < 0 && *number <= minimum_)) {
    return;
  }
  // Outside the range a step lands on its nearer end; text that is no number steps from the
  // bottom.
  const qint64 from = number.value_or(minimum_);
  const qint64 stepped = from > maximum_   ? maximum_
                         : from < minimum_ ? minimum_
                                           : std::clamp<qint64>(from + steps, minimum_, maximum_);
  setText(QString::number(stepped));
  selectAll();
}

QValidator::State DigitSpinBox::validate(QString& input, int& /*position*/) const {
  return AllDigits(input) ? QValidator::Acceptable : QValidator::Invalid;
}

QAbstractSpinBox::StepEnabled DigitSpinBox::stepEnabled() const {
  if (isReadOnly()) {
    return StepNone;
  }
  const std::optional<qint64> number = SteppingNumber(text());
  if (!number) {
    return StepUpEnabled | StepDownEnabled;
  }
  StepEnabled enabled = StepNone;
  if (*number < maximum_) {
    enabled |= StepUpEnabled;
  }
  if (*number > minimum_) {
    enabled |= StepDownEnabled;
  }
  return enabled;
}

}  // namespace gw::app
