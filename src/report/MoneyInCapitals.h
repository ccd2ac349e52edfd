#pragma once

#include <QString>

// An amount of money in Chinese capital numerals, as printed on sales bills: every digit
// of the amount written with two decimals gets its numeral and the unit of its place,
// zeros included ("壹佰零拾零元零角零分" for 100). The amount is rounded to cents from
// the shortest decimal text that reads back as the same number, halves away from zero,
// so 0.125 gives 0.13 and 1.005 gives 1.01 as a person would write them.
// Throws std::out_of_range for a negative amount, one that is not a number, and amounts
// of 10^12 and more, which the units (up to 仟亿) cannot write.
QString MoneyInCapitals(double amount);

// The message for an amount MoneyInCapitals cannot write.
QString moneyOutOfRangeMessage();

// The same for a bill total that may be negative (a returns bill): "-" before the
// numerals of its magnitude. Throws as MoneyInCapitals does.
QString signedMoneyInCapitals(double amount);
