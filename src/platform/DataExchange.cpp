#include "platform/DataExchange.h"

#include "core/CFormat.h"
#include "platform/MessageBox.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Number fields are judged on this many characters of their text, as the
// framework's fixed text buffer holds no more.
constexpr qsizetype NUMBER_FIELD_CHARACTERS = 31;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipBlanks(const std::string& text, std::size_t i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

std::size_t skipDigits(const std::string& text, std::size_t i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// Blanks, the digits between `begin` and `end`, blanks, and nothing else;
// the digits' value, or false when there are none or they overflow.
bool digitsValue(const std::string& text, std::size_t begin, std::size_t end,
    unsigned long long limit, unsigned long long& value)
{
    if (begin == end || skipBlanks(text, end) != text.size())
        return false;
    unsigned long long result = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (result > (limit - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

std::string fieldText(QLineEdit* field)
{
    return field->text().toStdString();
}

std::string rangeMessage(const char* kind, const std::string& min, const std::string& max)
{
    return std::string("Please enter ") + kind + " between " + min + " and " + max + ".";
}

} // namespace

bool parseInteger(const std::string& text, int& value)
{
    std::size_t i = skipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t end = skipDigits(text, i);
    const unsigned long long limit
        = negative ? static_cast<unsigned long long>(INT_MAX) + 1 : INT_MAX;
    unsigned long long magnitude = 0;
    if (!digitsValue(text, i, end, limit, magnitude))
        return false;
    value = negative ? static_cast<int>(-static_cast<long long>(magnitude))
                     : static_cast<int>(magnitude);
    return true;
}

bool parseUnsigned(const std::string& text, unsigned& value)
{
    std::size_t i = skipBlanks(text, 0);
    if (i < text.size() && text[i] == '+')
        ++i;
    const std::size_t end = skipDigits(text, i);
    unsigned long long result = 0;
    if (!digitsValue(text, i, end, UINT_MAX, result))
        return false;
    value = static_cast<unsigned>(result);
    return true;
}

bool parseNumber(const std::string& fullText, double& value)
{
    const std::string text = fullText.substr(0, static_cast<std::size_t>(NUMBER_FIELD_CHARACTERS));
    const std::size_t start = skipBlanks(text, 0);
    std::size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t integerEnd = skipDigits(text, i);
    std::size_t mantissaEnd = integerEnd;
    bool anyDigit = integerEnd > i;
    if (mantissaEnd < text.size() && text[mantissaEnd] == '.') {
        const std::size_t fractionEnd = skipDigits(text, mantissaEnd + 1);
        anyDigit = anyDigit || fractionEnd > mantissaEnd + 1;
        mantissaEnd = fractionEnd;
    }
    if (!anyDigit)
        return false;
    std::size_t end = mantissaEnd;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        const std::size_t exponentEnd = skipDigits(text, e);
        if (exponentEnd == e)
            return false;
        end = exponentEnd;
    }
    if (skipBlanks(text, end) != text.size())
        return false;

    const std::string number = text.substr(start, end - start);
    char* stop = nullptr;
    const double result = strtodC(number.c_str(), &stop);
    if (stop != number.c_str() + number.size() || !std::isfinite(result))
        return false;
    // A zero must be written as one: "-0", "+0.0" and ".0" are refused, and so
    // is a value too small to be held.
    if (result == 0.0 && text[start] != '0')
        return false;
    value = result;
    return true;
}

std::string formatNumber(double value)
{
    return formatC("%.15g", value);
}

void DataExchange::text(QLineEdit* field, std::string& value)
{
    if (m_failed)
        return;
    if (m_save)
        value = fieldText(field);
    else
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
}

void DataExchange::integer(QLineEdit* field, int& value, int min, int max)
{
    if (m_failed)
        return;
    if (!m_save) {
        integer(field, value);
        return;
    }
    int parsed = 0;
    if (!parseInteger(fieldText(field), parsed)) {
        fail(field, "Please enter an integer.");
        return;
    }
    if (parsed < min || parsed > max) {
        fail(field, rangeMessage("an integer", formatC("%d", min), formatC("%d", max)));
        return;
    }
    value = parsed;
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
}

void DataExchange::unsignedInteger(QLineEdit* field, unsigned& value, unsigned min, unsigned max)
{
    if (m_failed)
        return;
    if (!m_save) {
        unsignedInteger(field, value);
        return;
    }
    unsigned parsed = 0;
    if (!parseUnsigned(fieldText(field), parsed)) {
        fail(field, "Please enter a positive integer.");
        return;
    }
    if (parsed < min || parsed > max) {
        fail(field, rangeMessage("an integer", formatC("%u", min), formatC("%u", max)));
        return;
    }
    value = parsed;
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
}

void DataExchange::number(QLineEdit* field, double& value, double min, double max)
{
    if (m_failed)
        return;
    if (!m_save) {
        number(field, value);
        return;
    }
    double parsed = 0.0;
    if (!parseNumber(fieldText(field), parsed)) {
        fail(field, "Please enter a number.");
        return;
    }
    if (parsed < min || parsed > max) {
        fail(field, rangeMessage("a number", formatNumber(min), formatNumber(max)));
        return;
    }
    value = parsed;
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
    showMessage(message);
    if (!field)
        return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}
