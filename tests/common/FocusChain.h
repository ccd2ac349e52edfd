#pragma once

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

// The design names of the widgets the Tab key visits, starting at start, until the focus
// comes back to it (or after limit steps). A focus that lands inside a compound input
// (the text field of a date input or an editable pick list) counts as the input's, and
// an input that Tab walks through in steps (the year, month and day of a date input) is
// named once. The window must be shown and active.
inline QStringList tabChain(QWidget *start, int limit = 40)
{
    auto named = [](QWidget *w) {
        while (w && (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_"))))
            w = w->parentWidget();
        return w;
    };
    QStringList names;
    start->setFocus(Qt::TabFocusReason);
    QWidget *current = named(QApplication::focusWidget());
    for (int step = 0; current && step < limit; ++step) {
        if (names.isEmpty() || names.constLast() != current->objectName())
            names.append(current->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        current = named(QApplication::focusWidget());
        if (current == start)
            break;
    }
    return names;
}
