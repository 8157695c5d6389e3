#include "platform/DataExchange.h"

#include "core/CFormat.h"
#include "platform/FieldText.h"
#include "platform/MessageBox.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>

namespace {

std::string fieldText(QLineEdit* field)
{
    return field->text().toStdString();
}

// The failed field keeps a red frame until it reads again, so the user sees
// which field the message was about after closing it.
const char* const FAILED_PROPERTY = "failedField";

void markFailed(QWidget* field, bool failed)
{
    if (!field || field->property(FAILED_PROPERTY).toBool() == failed)
        return;
    field->setProperty(FAILED_PROPERTY, failed);
    field->setStyleSheet(
        failed ? QStringLiteral("QLineEdit { border: 2px solid #d00000; }") : QString());
}

std::string rangeMessage(const char* kind, const std::string& min, const std::string& max)
{
    return std::string("Please enter ") + kind + " between " + min + " and " + max + ".";
}

} // namespace

void DataExchange::text(QLineEdit* field, std::string& value)
{
    if (m_failed)
        return;
    if (m_save) {
        value = fieldText(field);
        markFailed(field, false);
    } else
        field->setText(QString::fromStdString(value));
}

void DataExchange::integer(QLineEdit* field, int& value)
{
    if (m_failed)
        return;
    if (!m_save) {
        field->setText(QString::fromStdString(formatC("%d", value)));
        return;
    }
    int parsed = 0;
    if (!parseInteger(fieldText(field), parsed)) {
        fail(field, "Please enter an integer.");
        return;
    }
    value = parsed;
    markFailed(field, false);
}

void DataExchange::integer(QLineEdit* field, int& value, int min, int max)
{
    // The plain exchange parses; a value out of range is then put back.
    const int before = value;
    integer(field, value);
    if (m_save && !m_failed && (value < min || value > max)) {
        value = before;
        fail(field, rangeMessage("an integer", formatC("%d", min), formatC("%d", max)));
    }
}

void DataExchange::unsignedInteger(QLineEdit* field, unsigned& value)
{
    if (m_failed)
        return;
    if (!m_save) {
        field->setText(QString::fromStdString(formatC("%u", value)));
        return;
    }
    unsigned parsed = 0;
    if (!parseUnsigned(fieldText(field), parsed)) {
        fail(field, "Please enter a positive integer.");
        return;
    }
    value = parsed;
    markFailed(field, false);
}

void DataExchange::unsignedInteger(QLineEdit* field, unsigned& value, unsigned min, unsigned max)
{
    // The plain exchange parses; a value out of range is then put back.
    const unsigned before = value;
    unsignedInteger(field, value);
    if (m_save && !m_failed && (value < min || value > max)) {
        value = before;
        fail(field, rangeMessage("an integer", formatC("%u", min), formatC("%u", max)));
    }
}

void DataExchange::number(QLineEdit* field, double& value)
{
    if (m_failed)
        return;
    if (!m_save) {
        field->setText(QString::fromStdString(formatNumber(value)));
        return;
    }
    double parsed = 0.0;
    if (!parseNumber(fieldText(field), parsed)) {
        fail(field, "Please enter a number.");
        return;
    }
    value = parsed;
    markFailed(field, false);
}

void DataExchange::number(QLineEdit* field, double& value, double min, double max)
{
    // The plain exchange parses; a value out of range is then put back.
    const double before = value;
    number(field, value);
    if (m_save && !m_failed && (value < min || value > max)) {
        value = before;
        fail(field, rangeMessage("a number", formatNumber(min), formatNumber(max)));
    }
}

void DataExchange::check(QAbstractButton* box, int& value)
{
    if (m_failed)
        return;
    if (m_save)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

void DataExchange::radio(const std::vector<QRadioButton*>& group, int& value)
{
    if (m_failed)
        return;
    if (m_save) {
        // No button checked leaves the value as it was, so a group that the
        // user never touched cannot turn into an index outside it.
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (group[i]->isChecked()) {
                value = static_cast<int>(i);
                return;
            }
        }
        return;
    }
    // Checking one button of an exclusive group clears the others; a
    // checked button of such a group cannot be cleared on its own.
    if (value >= 0 && static_cast<std::size_t>(value) < group.size())
        group[static_cast<std::size_t>(value)]->setChecked(true);
}

void DataExchange::fail(QWidget* field, const std::string& message)
{
    if (m_failed)
        return;
    m_failed = true;
    markFailed(field, true);
    showMessage(message);
    if (!field)
        return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}
