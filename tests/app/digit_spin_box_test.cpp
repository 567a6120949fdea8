#include "app/digit_spin_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>

namespace gw::app {
namespace {

struct StepRow {
  const char* text;
  int steps;
  const char* expected;
};

std::ostream& operator<<(std::ostream& out, const StepRow& row) {
  return out << '"' << row.text << "\" stepped " << row.steps << " gives \"" << row.expected << '"';
}

// Every row: the box holds `text`, the buttons step `steps` times at once (page keys step 10).
const StepRow kStepRows[] = {
    {"5", 1, "6"},
    {"5", -1, "4"},
    {"99", 10, "100"},  // a page step stops at the top
    {"3", -10, "0"},    // and at the bottom
    {"100", 1, "100"},
    {"0", -1, "0"},
    {"150", 1, "150"},   // above the range the up button does nothing
    {"150", -1, "100"},  // and the down button brings it to the top
    {"99999999999999999999999", -1, "100"},
    {"007", 1, "8"},
    {"", 1, "1"},
    {"", -1, ""},  // an empty box counts as 0
};

// What the box sees when the user moves to another control.
void LeaveBox(DigitSpinBox& box) {
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(&box, &leave);
}

class DigitSpinBoxSteps : public ::testing::TestWithParam<StepRow> {};

TEST_P(DigitSpinBoxSteps, TheButtonsStepWithinZeroToAHundred) {
  DigitSpinBox box;
  box.setText(QString::fromUtf8(GetParam().text));
  box.stepBy(GetParam().steps);
  EXPECT_EQ(box.text().toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, DigitSpinBoxSteps, ::testing::ValuesIn(kStepRows));

TEST(DigitSpinBox, TypingTakesDigitsOnlyAndTheTextStaysAsTyped) {
  DigitSpinBox box;
  box.show();
  box.setFocus();
  QTest::keyClicks(&box, "1a5-0 ");
  EXPECT_EQ(box.text(), "150");
  // Leaving the box (or pressing Enter in it) does not bring the number into the buttons' range.
  QTest::keyClick(&box, Qt::Key_Return);
  LeaveBox(box);
  EXPECT_EQ(box.text(), "150");

  box.setText("");
  QTest::keyClicks(&box, "007");
  EXPECT_EQ(box.text(), "007");
}

TEST(DigitSpinBox, TheArrowKeysStopAtTheEndsOfTheRange) {
  DigitSpinBox box;
  box.show();
  box.setFocus();
  box.setText("99");
  QTest::keyClick(&box, Qt::Key_Up);
  QTest::keyClick(&box, Qt::Key_Up);
  EXPECT_EQ(box.text(), "100");
  box.setText("150");
  QTest::keyClick(&box, Qt::Key_Up);
  EXPECT_EQ(box.text(), "150");
  box.setText("1");
  QTest::keyClick(&box, Qt::Key_Down);
  QTest::keyClick(&box, Qt::Key_Down);
  EXPECT_EQ(box.text(), "0");
}

TEST(DigitSpinBox, ASetTextIsKeptAsItIsAndAnnounced) {
  DigitSpinBox box;
  QSignalSpy changes(&box, &DigitSpinBox::textChanged);
  box.setText("不是数字");
  EXPECT_EQ(box.text(), "不是数字");
  LeaveBox(box);
  EXPECT_EQ(box.text(), "不是数字");
  ASSERT_EQ(changes.size(), 1);
  EXPECT_EQ(changes[0][0].toString(), "不是数字");
  // From text that is no number the buttons start at the bottom of the range.
  box.stepUp();
  EXPECT_EQ(box.text(), "1");
}

}  // namespace
}  // namespace gw::app
