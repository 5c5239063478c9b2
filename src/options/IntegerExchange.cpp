#include "IntegerExchange.h"

#include "OptionMessage.h"

#include <QLineEdit>

#include <charconv>
#include <cstdint>
#include <limits>

namespace {

constexpr const char *kNotAnInteger = "整数を入力してください。";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

int ParseInteger(std::string_view text, int &value)
{
    text = TrimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return 0;
    std::int64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size())
        return 0;
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue < std::numeric_limits<int>::min() || signedValue > std::numeric_limits<int>::max())
        return 0;
    value = static_cast<int>(signedValue);
    return 1;
}

int ExchangeIntFromEdit(QLineEdit *edit, int &value)
{
    if (ParseInteger(edit->text().toStdString(), value))
        return 1;
    ShowOptionMessage(edit, QMessageBox::Warning, QString::fromUtf8(kNotAnInteger));
    edit->setFocus();
    edit->selectAll();
    return 0;
}
