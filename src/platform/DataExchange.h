#pragma once

#include <string>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QRadioButton;
class QWidget;

// Moves dialog members to their controls (load) or back (save). On save
// each field is parsed and range-checked in call order; at the first
// failure the framework's message is shown in the "Welmo" box, the focus
// goes back to that field with its text selected, and every later call does
// nothing, so later members keep their values. The failed field is marked
// (property "failedField", a red frame) until it next reads.
class DataExchange {
public:
    explicit DataExchange(bool save)
        : m_save(save)
    {
    }

    bool isSaving() const { return m_save; }
    bool failed() const { return m_failed; }

    void text(QLineEdit* field, std::string& value);
    // "Please enter an integer." / "Please enter an integer between %1 and %2."
    void integer(QLineEdit* field, int& value);
    void integer(QLineEdit* field, int& value, int min, int max);
    // "Please enter a positive integer." for text that is not an unsigned.
    void unsignedInteger(QLineEdit* field, unsigned& value);
    void unsignedInteger(QLineEdit* field, unsigned& value, unsigned min, unsigned max);
    // "Please enter a number." / "Please enter a number between %1 and %2."
    void number(QLineEdit* field, double& value);
    void number(QLineEdit* field, double& value, double min, double max);
    void check(QAbstractButton* box, int& value);
    // value is the index of the checked button in the group.
    void radio(const std::vector<QRadioButton*>& group, int& value);

    // Fails the exchange on `field` with `message`, for a dialog's own rules.
    void fail(QWidget* field, const std::string& message);

private:
    bool m_save;
    bool m_failed = false;
};
