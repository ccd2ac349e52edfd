#pragma once

#include <QPointer>
#include <QTableWidget>

#include "store/Dataset.h"

// The grid of a rights list (an operator's or a role's rows): the caption of each
// right and its Authority as a check box, in the rows' order, which is the slot order.
// Ticking or clearing a box writes that row at once, so no change waits for the grid
// to leave the row and none is lost when the dialog closes.
class RightsGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit RightsGrid(QWidget *parent = nullptr);

    // Shows the rows of an open dataset with the fields FunctionName and Authority;
    // nullptr empties the grid.
    void setDataset(Dataset *dataset);
    Dataset *dataset() const { return m_dataset; }
    void reload();

    // Read-only: the boxes show the rights but cannot be changed.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    QString functionName(int row) const;
    bool authority(int row) const;

private:
    void boxChanged(QTableWidgetItem *box);
    Qt::ItemFlags checkFlags() const;

    QPointer<Dataset> m_dataset;
    bool m_readOnly = false;
    bool m_loading = false;
};
