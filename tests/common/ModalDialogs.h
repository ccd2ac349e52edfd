#pragma once

#include <QString>
#include <functional>

class QWidget;

// Starts something that may open a modal dialog. The dialog that opens is handed to act
// and then closed. Returns its class name, or "" when no new modal dialog opened.
QString whenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act = {});
// The same, returning the dialog's caption.
QString captionWhenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act = {});
