#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include "store/Dataset.h"
class QComboBox;
class QLabel;
class QToolButton;

// What an editor dialog does with its record; set by the opener before it is shown.
enum class EditorMode { Add, Edit };

// Pieces the customer and contact editors share.
namespace EditorForm {
// A label for an input: the caption with its accelerator key put before a trailing
// colon ("客户编号:" with 'B' gives "客户编号(&B):"), the input as its buddy.
QLabel *label(const QString &caption, char key, QWidget *buddy);
// Shows a text in an editable pick list: selects the item when the list holds it.
void setComboText(QComboBox *combo, const QString &text);
// The list position of the text shown (-1 when the list does not hold it).
int comboPosition(const QComboBox *combo);
// Tab order through the widgets in the order given.
void tabOrder(const QList<QWidget *> &widgets);
} // namespace EditorForm

// The record navigator of the editors: first, prior, next and last over a dataset.
// Unbound (no dataset) its buttons are disabled. After a button has moved the current
// row it signals moved(), on which the editor loads the new row.
class RecordNavigator : public QWidget
{
    Q_OBJECT
public:
    explicit RecordNavigator(QWidget *parent = nullptr);

    void setDataset(Dataset *dataset);
    Dataset *dataset() const { return m_dataset; }

    QToolButton *NavFirst, *NavPrior, *NavNext, *NavLast;

signals:
    void moved();

private:
    void go(void (*move)(Dataset &));
    void updateButtons();

    QPointer<Dataset> m_dataset;
};

