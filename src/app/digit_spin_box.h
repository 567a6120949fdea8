// A digits-only text box with up/down buttons. The box holds its text exactly as typed or
// stored ("150", "007", empty); typing takes digits only, while the buttons (and the arrow and
// page keys, the mouse wheel) step the number within a range and never past its ends.
#pragma once

#include <QAbstractSpinBox>
#include <QString>

namespace gw::app {

class DigitSpinBox : public QAbstractSpinBox {
  Q_OBJECT
  Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged USER true)
  Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
  Q_PROPERTY(int maximum READ maximum WRITE setMaximum)

 public:
  explicit DigitSpinBox(QWidget* parent = nullptr);

  // Puts `text` into the box as it is, whatever it holds (a stored value is never reshaped).
  void setText(const QString& text);

  // The range the buttons step in; the text itself may lie outside it.
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  void setMinimum(int minimum);
  void setMaximum(int maximum);

  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& position) const override;

 signals:
  void textChanged(const QString& text);

 protected:
  StepEnabled stepEnabled() const override;

 private:
  int minimum_ = 0;
  int maximum_ = 100;
};

}  // namespace gw::app
