#include "support/ModalWatchdog.h"

#include <QDialog>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

// Turns every reject down, as a dialog with a refusing Cancel would.
class StubbornDialog : public QDialog {
public:
    void reject() override { }
};

} // namespace

TEST(ModalWatchdog, FailsTheTestAndClosesAModalWindowLeftOpen)
{
    ModalWatchdog watchdog(300);
    QDialog plain;
    StubbornDialog stubborn;
    for (QDialog* dialog : { static_cast<QDialog*>(&plain), static_cast<QDialog*>(&stubborn) }) {
        EXPECT_NONFATAL_FAILURE(dialog->exec(), "stayed open for more than 300 ms");
        EXPECT_FALSE(dialog->isVisible());
    }
}
