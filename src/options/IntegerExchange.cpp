#include "IntegerExchange.h"

#include "OptionMessage.h"

#include <QLineEdit>

#include <algorithm>
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
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    // A number too large for an int is still a number: it becomes the nearest int, which the
    // caller's range check then refuses with its own message.
    std::int64_t magnitude = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), magnitude).ec == std::errc::result_out_of_range)
        magnitude = std::numeric_limits<std::int64_t>::max();
    const std::int64_t limit = negative ? -std::int64_t {std::numeric_limits<int>::min()}
                                        : std::int64_t {std::numeric_limits<int>::max()};
    magnitude = std::min(magnitude, limit);
    value = static_cast<int>(negative ? -magnitude : magnitude);
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
