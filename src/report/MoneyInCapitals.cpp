#include "MoneyInCapitals.h"

#include <QLocale>
#include <cmath>
#include <stdexcept>

namespace {

// The amount as "digits.dd", rounded half away from zero on its decimal text. Written by
// hand because QString::number and printf round the binary value, which turns 1.005
// (stored as 1.00499…) into 1.00.
QString twoDecimals(double amount)
{
    QString text = QLocale::c().toString(amount, 'f', QLocale::FloatingPointShortest);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? text : text.left(point);
    QString fraction = point < 0 ? QString() : text.mid(point + 1);
    const bool roundUp = fraction.size() > 2 && fraction.at(2) >= QLatin1Char('5');
    fraction = fraction.left(2).leftJustified(2, QLatin1Char('0'));
    QString digits = whole + fraction;
    if (roundUp) {
        qsizetype i = digits.size() - 1;
        for (; i >= 0 && digits.at(i) == QLatin1Char('9'); --i)
            digits[i] = QLatin1Char('0');
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
        else
            digits[i] = QChar(digits.at(i).unicode() + 1);
    }
    return digits.left(digits.size() - 2) + QLatin1Char('.') + digits.right(2);
}

} // namespace

QString moneyOutOfRangeMessage()
{
    return QStringLiteral("金额超出大写金额的范围(须小于壹万亿元)，无法写成大写!");
}

QString MoneyInCapitals(double amount)
{
    static const QString numerals = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
    // Units by place: index 0 is the place -2 (分), index 2 the units place (元).
    static const QString units = QStringLiteral("分角元拾佰仟万拾佰仟亿拾佰仟");
    if (!std::isfinite(amount) || amount < 0)
        throw std::out_of_range(moneyOutOfRangeMessage().toStdString());
    const QString text = twoDecimals(amount);
    QString result;
    int place = 0;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('.'))
            continue;
        if (place >= units.size())
            throw std::out_of_range(moneyOutOfRangeMessage().toStdString());
        result.prepend(units.at(place));
        result.prepend(numerals.at(c.digitValue()));
        ++place;
    }
    return result;
}

QString signedMoneyInCapitals(double amount)
{
    return amount >= 0 ? MoneyInCapitals(amount) : QStringLiteral("-") + MoneyInCapitals(-amount);
}
