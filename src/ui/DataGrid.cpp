#include "DataGrid.h"
#include "DatasetModel.h"
#include "Guarded.h"
#include "store/Dataset.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

// --- title row with sort marks

class SortMarkHeader : public QHeaderView
{
public:
    SortMarkHeader(DataGrid *grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid) {}

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override
    {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        bool descending = false;
        if (m_grid->sortMarkPlace(m_grid->columnField(logicalIndex), &descending) > 0)
            // Qt's header draws SortDown for an ascending order.
            option->sortIndicator = descending ? QStyleOptionHeader::SortUp : QStyleOptionHeader::SortDown;
    }

    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        // With several marks, a small number tells each mark's place in the order.
        if (m_grid->sortMarks().size() < 2)
            return;
        const int place = m_grid->sortMarkPlace(m_grid->columnField(logicalIndex));
        if (place <= 0)
            return;
        painter->save();
        painter->setClipRect(rect); // the style may leave its own clip behind
        QFont font = painter->font();
        font.setPointSizeF(std::max(6.0, font.pointSizeF() * 0.75));
        painter->setFont(font);
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->drawText(rect.adjusted(3, 1, -3, -1), Qt::AlignLeft | Qt::AlignTop, QString::number(place));
        painter->restore();
    }

private:
    DataGrid *m_grid;
};

// --- footer row under the rows, aligned with the title row

class GridFooter : public QWidget
{
public:
    explicit GridFooter(DataGrid *grid) : QWidget(grid), m_grid(grid)
    {
        setAutoFillBackground(false);
        hide();
    }

    // Left edge of the viewport inside the footer (the corner under the row indicators).
    int viewportLeft() const { return m_grid->viewport()->geometry().left() - geometry().left(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QPalette &pal = palette();
        p.fillRect(rect(), pal.color(QPalette::Button));
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(rect().topLeft(), rect().topRight());
        const QHeaderView *header = m_grid->horizontalHeader();
        const int left = viewportLeft();
        p.setClipRect(QRect(left, 0, width() - left, height()));
        for (int visual = 0; visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            if (header->isSectionHidden(logical))
                continue;
            const int x = left + header->sectionViewportPosition(logical);
            const int w = header->sectionSize(logical);
            if (x + w < left)
                continue;
            if (x > width())
                break;
            const QRect cell(x, 1, w, height() - 1);
            p.setPen(pal.color(QPalette::Mid));
            p.drawLine(cell.topRight(), cell.bottomRight());
            const QString text = m_grid->footerText(logical);
            if (text.isEmpty())
                continue;
            p.setPen(pal.color(QPalette::ButtonText));
            const QRect textRect = cell.adjusted(4, 0, -4, 0);
            p.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter,
                       fontMetrics().elidedText(text, Qt::ElideLeft, textRect.width()));
        }
    }

private:
    DataGrid *m_grid;
};

// --- cells: the ellipsis button of marked columns is painted, not a widget

namespace {

QRect buttonRectIn(const QRect &cell)
{
    const int w = std::min(cell.height(), 20);
    return QRect(cell.right() - w + 1, cell.top(), w, cell.height());
}

} // namespace

class GridDelegate : public QStyledItemDelegate
{
public:
    explicit GridDelegate(DataGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (!m_grid->hasButton(index.column())) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QRect button = buttonRectIn(option.rect);
        QStyleOptionViewItem cell = option;
        cell.rect.setRight(button.left() - 1);
        QStyledItemDelegate::paint(painter, cell, index);
        // The strip right of the text belongs to the cell (selection colour included).
        QStyleOptionViewItem background = option;
        background.rect = button;
        background.text.clear();
        background.icon = QIcon();
        background.features &= ~QStyleOptionViewItem::HasDisplay;
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, widget);

        QStyleOptionButton opt;
        opt.rect = button.adjusted(1, 1, -1, -1);
        opt.state = QStyle::State_Enabled | QStyle::State_Raised;
        opt.text = QStringLiteral("…");
        opt.palette = option.palette;
        opt.fontMetrics = option.fontMetrics;
        style->drawControl(QStyle::CE_PushButton, &opt, painter, widget);
    }

    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        if (m_grid->hasButton(index.column())) {
            QRect r = editor->geometry();
            r.setRight(std::max(r.left(), buttonRectIn(option.rect).left() - 1));
            editor->setGeometry(r);
        }
    }

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override
    {
        const auto type = event->type();
        if (m_grid->hasButton(index.column())
            && (type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick)) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && buttonRectIn(option.rect).contains(mouse->position().toPoint())) {
                // The press went through normally and made the row current.
                if (type == QEvent::MouseButtonRelease)
                    m_grid->emitEllipsis(index);
                return true;
            }
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

private:
    DataGrid *m_grid;
};

// --- the grid

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent), m_model(new DatasetModel(nullptr, this)), m_footer(new GridFooter(this))
{
    setHorizontalHeader(new SortMarkHeader(this));
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSortingEnabled(false); // marks are ours; the query sorts, not the view
    // Tab and Shift+Tab go on to the next input of the window, as everywhere else; the
    // arrow keys move between cells (and an open cell editor still passes Tab on to the
    // next cell).
    setTabKeyNavigation(false);

    QHeaderView *titles = horizontalHeader();
    titles->setSectionsMovable(true);
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setDefaultSectionSize(100);
    titles->setMinimumSectionSize(8);
    connect(titles, &QHeaderView::sectionClicked, this, &DataGrid::sectionClicked);

    // Row indicators: a fixed narrow strip; rows never measure their contents.
    QHeaderView *rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    rows->setMinimumSectionSize(fontMetrics().height() + 2);
    rows->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("▶")) + 10);
    rows->setSectionsClickable(true);

    auto updateFooter = [this] { m_footer->update(); };
    connect(titles, &QHeaderView::sectionResized, this, updateFooter);
    connect(titles, &QHeaderView::sectionMoved, this, updateFooter);
    connect(titles, &QHeaderView::geometriesChanged, this, updateFooter);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, updateFooter);

    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::invalidateSums);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &DataGrid::invalidateSums);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &DataGrid::invalidateSums);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &DataGrid::invalidateSums);
    connect(m_model, &QAbstractItemModel::columnsInserted, this, &DataGrid::invalidateSums);
}

DataGrid::~DataGrid()
{
    // The base classes still move the header and scroll bar while they are torn down; the
    // footer's slots must not run on a grid that is already gone.
    disconnect(horizontalHeader(), nullptr, this, nullptr);
    disconnect(horizontalScrollBar(), nullptr, this, nullptr);
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
}

void DataGrid::setDataset(Dataset *dataset)
{
    if (Dataset *old = m_model->dataset())
        disconnect(old, nullptr, this, nullptr);
    m_model->setDataset(dataset);
    if (dataset) {
        // The model connected first, so it has taken a change in before the grid moves.
        connect(dataset, &Dataset::currentRowChanged, this, &DataGrid::followDataset);
        followDataset(dataset->currentRow());
    }
}

Dataset *DataGrid::dataset() const
{
    return m_model->dataset();
}

void DataGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_model->setEditable(!readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                   | QAbstractItemView::AnyKeyPressed);
}

// --- current row, both ways

void DataGrid::followDataset(int row)
{
    const QModelIndex current = currentIndex();
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0) {
        if (current.isValid() && row < 0) {
            m_following = true;
            selectionModel()->clear();
            m_following = false;
        }
        return;
    }
    if (current.isValid() && current.row() == row)
        return;
    int column = current.isValid() ? current.column() : horizontalHeader()->logicalIndex(0);
    if (column < 0)
        column = 0;
    const QModelIndex target = m_model->index(row, column);
    m_following = true;
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_following = false;
    scrollTo(target);
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    Dataset *rows = dataset();
    // While rows are being inserted or removed the view renumbers on its own; the
    // dataset announces its own current row right after.
    if (m_following || !rows || !current.isValid() || m_model->isChangingRows())
        return;
    if (current.row() == rows->currentRow() || !rows->isOpen())
        return;
    guarded(this, [&] { rows->setCurrentRow(current.row()); });
    if (rows->currentRow() != current.row())
        followDataset(rows->currentRow()); // the move was refused (a row failed to post)
}

QList<int> DataGrid::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QItemSelectionRange &range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// --- columns

void DataGrid::clearColumns()
{
    m_sumFields.clear();
    m_buttonFields.clear();
    const bool hadMarks = !m_sortMarks.isEmpty();
    m_sortMarks.clear();
    m_model->clearColumns();
    columnsReplaced();
    if (hadMarks)
        emit sortMarksChanged();
}

bool DataGrid::addColumn(const QString &field, int width)
{
    const bool first = !m_model->hasConfiguredColumns();
    if (!first && m_model->columnCount() >= MaxColumns)
        return false;
    m_model->appendColumnField(field);
    if (first)
        columnsReplaced();
    const int column = m_model->columnCount() - 1;
    horizontalHeader()->resizeSection(column, width >= 0 ? width : horizontalHeader()->defaultSectionSize());
    return true;
}

void DataGrid::columnsReplaced()
{
    // A new set of columns starts in its own order, whatever the operator dragged before.
    QHeaderView *titles = horizontalHeader();
    if (titles->sectionsMoved())
        for (int visual = 0; visual < titles->count(); ++visual)
            titles->moveSection(titles->visualIndex(visual), visual);
    for (int column = 0; column < titles->count(); ++column)
        titles->resizeSection(column, titles->defaultSectionSize());
    if (Dataset *rows = dataset())
        followDataset(rows->currentRow());
    updateGeometries();
}

bool DataGrid::hasConfiguredColumns() const
{
    return m_model->hasConfiguredColumns();
}

int DataGrid::gridColumnCount() const
{
    return m_model->columnCount();
}

QStringList DataGrid::columnFields() const
{
    return m_model->columnFields();
}

QString DataGrid::columnField(int column) const
{
    return m_model->fieldName(column);
}

int DataGrid::columnOfField(const QString &field) const
{
    return m_model->columnOfField(field);
}

QList<DataGrid::ColumnState> DataGrid::columnOrder() const
{
    QList<ColumnState> order;
    const QHeaderView *titles = horizontalHeader();
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int logical = titles->logicalIndex(visual);
        order.append({m_model->fieldName(logical), titles->sectionSize(logical)});
    }
    return order;
}

void DataGrid::refreshTitles()
{
    m_model->refreshHeaders();
    horizontalHeader()->viewport()->update();
}

void DataGrid::setSumColumn(int column, bool sum)
{
    const QString key = m_model->fieldName(column).toLower();
    if (key.isEmpty())
        return;
    if (sum)
        m_sumFields.insert(key);
    else
        m_sumFields.remove(key);
    invalidateSums();
    updateGeometries();
}

bool DataGrid::isSumColumn(int column) const
{
    return !m_sumFields.isEmpty() && m_sumFields.contains(m_model->fieldName(column).toLower());
}

void DataGrid::setButtonColumn(int column, bool button)
{
    const QString key = m_model->fieldName(column).toLower();
    if (key.isEmpty())
        return;
    if (button)
        m_buttonFields.insert(key);
    else
        m_buttonFields.remove(key);
    viewport()->update();
}

bool DataGrid::hasButton(int column) const
{
    return !m_buttonFields.isEmpty() && m_buttonFields.contains(m_model->fieldName(column).toLower());
}

QRect DataGrid::ellipsisButtonRect(int row, int column) const
{
    return buttonRectIn(visualRect(m_model->index(row, column)));
}

void DataGrid::emitEllipsis(const QModelIndex &index)
{
    emit ellipsisClicked(index.row(), m_model->fieldName(index.column()));
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex current = currentIndex();
    const bool openKey = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
                         && event->modifiers() & Qt::ControlModifier;
    if (openKey && current.isValid() && hasButton(current.column())) {
        emitEllipsis(current);
        return;
    }
    if (event->key() == Qt::Key_Escape && state() != QAbstractItemView::EditingState) {
        Dataset *rows = dataset();
        if (rows && (rows->state() == Dataset::State::Edit || rows->state() == Dataset::State::Insert)) {
            guarded(this, [rows] { rows->cancel(); });
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

// --- footer

bool DataGrid::hasFooter() const
{
    if (m_sumFields.isEmpty())
        return false;
    for (int column = 0; column < m_model->columnCount(); ++column)
        if (isSumColumn(column))
            return true;
    return false;
}

void DataGrid::invalidateSums()
{
    m_sumsValid = false;
    m_sums.clear();
    m_footer->update();
}

void DataGrid::computeSums() const
{
    m_sums.clear();
    m_sumsValid = true;
    const Dataset *source = dataset();
    if (!source || !source->isOpen())
        return;
    const int rows = m_model->rowCount();
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (!isSumColumn(column))
            continue;
        const int field = m_model->fieldIndex(column);
        if (field < 0)
            continue;
        // Numbers add up; a text cell counts when it reads as a number.
        double sum = 0;
        bool whole = true;
        int counted = 0;
        for (int row = 0; row < rows; ++row) {
            const QVariant v = source->value(row, field);
            if (v.isNull())
                continue;
            bool ok = false;
            const double d = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
            if (!ok)
                continue;
            sum += d;
            ++counted;
            whole = whole && d == std::floor(d);
        }
        const FieldKind kind = source->fieldDef(field).kind;
        if (counted == 0 && (kind == FieldKind::Text || kind == FieldKind::Memo))
            continue; // a text column without a single number shows no sum
        if (kind == FieldKind::Currency)
            sum = std::nearbyint(sum * 10000.0) / 10000.0;
        m_sums.insert(column, whole && std::fabs(sum) < 1e15 ? QString::number(qint64(sum))
                                                             : DatasetModel::displayText(kind, sum));
    }
}

QString DataGrid::footerText(int column) const
{
    if (!isSumColumn(column))
        return {};
    if (!m_sumsValid)
        computeSums();
    return m_sums.value(column);
}

int DataGrid::footerHeight() const
{
    return std::max(horizontalHeader()->sizeHint().height(), fontMetrics().height() + 8);
}

void DataGrid::updateGeometries()
{
    QTableView::updateGeometries();
    const bool footer = hasFooter();
    if (!footer) {
        m_footer->hide();
        return;
    }
    // The footer takes a strip under the viewport, above the horizontal scroll bar.
    const int height = footerHeight();
    const QMargins margins = viewportMargins();
    if (margins.bottom() != height)
        setViewportMargins(margins.left(), margins.top(), margins.right(), height);
    const QRect vg = viewport()->geometry();
    const int rowIndicators = verticalHeader()->isHidden() ? 0 : verticalHeader()->width();
    m_footer->setGeometry(vg.left() - rowIndicators, vg.bottom() + 1, vg.width() + rowIndicators, height);
    m_footer->show();
    m_footer->update();
}

// --- sort marks

void DataGrid::sectionClicked(int logicalIndex)
{
    const QString field = m_model->fieldName(logicalIndex);
    if (field.isEmpty())
        return;
    toggleSortMark(field);
    emit titleClicked(field);
}

int DataGrid::sortMarkPlace(const QString &field, bool *descending) const
{
    for (int i = 0; i < m_sortMarks.size(); ++i) {
        if (m_sortMarks.at(i).field.compare(field, Qt::CaseInsensitive) == 0) {
            if (descending)
                *descending = m_sortMarks.at(i).descending;
            return i + 1;
        }
    }
    return 0;
}

void DataGrid::toggleSortMark(const QString &field)
{
    const int place = sortMarkPlace(field);
    if (place == 0)
        m_sortMarks.append({field, false});
    else if (!m_sortMarks.at(place - 1).descending)
        m_sortMarks[place - 1].descending = true;
    else
        m_sortMarks.removeAt(place - 1);
    horizontalHeader()->viewport()->update();
    emit sortMarksChanged();
}

void DataGrid::setSortMarks(const QList<SortMark> &marks)
{
    if (m_sortMarks == marks)
        return;
    m_sortMarks = marks;
    horizontalHeader()->viewport()->update();
    emit sortMarksChanged();
}

void DataGrid::clearSortMarks()
{
    setSortMarks({});
}
