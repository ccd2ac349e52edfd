#pragma once

#include <QString>

class QWidget;

// Every input and button reachable by a screen reader under a usable name. The names
// come from what the operator sees: an input is named after the label that leads to it
// (its buddy), without accelerator and colon; an icon-only button after its tool tip.
// The parts that take the focus inside an input (the edit of an editable pick list or of
// a date box, the text area of a memo) carry the same name. Names set on purpose are
// kept.
namespace Accessibility {
// The caption of a label as a name: "公司名称(&N):" gives "公司名称".
QString plainCaption(const QString &caption);
// Names the inputs and buttons of a window and everything in it.
void nameWidgets(QWidget *window);
// Names the widgets of every window when it is shown, for the whole run (windows made
// later included).
void install();
} // namespace Accessibility
