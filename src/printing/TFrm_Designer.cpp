#include "TFrm_Designer.h"

#include "TFrm_Preview.h"
#include "data/TFrm_Data.h"
#include "report/ReportQueries.h"
#include "report/ReportRenderer.h"
#include "report/ReportValues.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/ProgramDir.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyleOptionGraphicsItem>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>
#include <cmath>

using namespace Report;

namespace {

constexpr double stripHeight = 5;  // mm above each band for its caption
constexpr double bandGap = 3;      // mm between bands
constexpr double handle = 1.6;     // mm, the resize handle at the bottom-right corner

double snap(double mm)
{
    return std::round(mm * 10) / 10;
}

// One step of undo: the whole layout before and after (layouts are small).
class Snapshot : public QUndoCommand
{
public:
    Snapshot(const QString &text, ReportDocument before, ReportDocument after, int mergeId,
             std::function<void(const ReportDocument &)> apply)
        : QUndoCommand(text), m_before(std::move(before)), m_after(std::move(after)), m_id(mergeId),
          m_apply(std::move(apply))
    {
    }
    void undo() override { m_apply(m_before); }
    void redo() override { m_apply(m_after); }
    int id() const override { return m_id; }
    bool mergeWith(const QUndoCommand *other) override
    {
        if (other->id() != m_id || other->text() != text())
            return false;
        m_after = static_cast<const Snapshot *>(other)->m_after;
        return true;
    }

private:
    ReportDocument m_before, m_after;
    int m_id;
    std::function<void(const ReportDocument &)> m_apply;
};

enum MergeIds { MergeKeys = 1, MergeProperties = 2 };

} // namespace

// An object on the canvas: moved by dragging, resized by its bottom-right handle.
class TFrm_Designer::ObjectItem : public QGraphicsRectItem
{
public:
    ObjectItem(TFrm_Designer *designer, const ReportObject &object, BandKind band)
        : m_designer(designer), m_object(object), m_band(band)
    {
        setFlags(ItemIsMovable | ItemIsSelectable | ItemIsFocusable);
        setData(0, object.name);
        setRect(QRectF(0, 0, std::abs(object.rect.width()), std::abs(object.rect.height())));
        setPos(designer->bandOrigin(band) + QPointF(std::min(object.rect.left(), object.rect.right()),
                                                    std::min(object.rect.top(), object.rect.bottom())));
        setPen(Qt::NoPen);
        setToolTip(object.name);
    }
    QString name() const { return m_object.name; }
    BandKind band() const { return m_band; }
    const ReportObject &object() const { return m_object; }

    QRectF boundingRect() const override { return rect().adjusted(-0.5, -0.5, 0.5, 0.5); }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        const ReportObject &o = m_object;
        const QRectF r = rect();
        QPen pen(Qt::black);
        pen.setWidthF(std::max(0.1, o.lineWidth));
        painter->setPen(pen);
        switch (o.kind) {
        case ObjectKind::Line: {
            const bool rising = (o.rect.width() < 0) != (o.rect.height() < 0);
            painter->drawLine(rising ? r.bottomLeft() : r.topLeft(), rising ? r.topRight() : r.bottomRight());
            break;
        }
        case ObjectKind::Rect:
            painter->drawRect(r);
            break;
        case ObjectKind::Picture: {
            QImage image;
            if (!o.pictureData.isEmpty())
                image.loadFromData(o.pictureData);
            if (!image.isNull())
                painter->drawImage(r, image);
            else
                painter->drawText(r, Qt::AlignCenter, QStringLiteral("图片"));
            break;
        }
        case ObjectKind::Text: {
            painter->save();
            painter->scale(0.1, 0.1); // text drawn in tenths of a millimetre
            QFont font(o.fontFamily);
            font.setPixelSize(std::max(1, int(std::lround(o.fontSize * 25.4 / 72 * 10))));
            font.setBold(o.bold);
            font.setItalic(o.italic);
            painter->setFont(font);
            const QRectF big(r.x() * 10, r.y() * 10, r.width() * 10, r.height() * 10);
            if (o.cells > 0) {
                QPen cellPen(Qt::black);
                cellPen.setWidthF(o.lineWidth * 10);
                painter->setPen(cellPen);
                const double cell = big.width() / o.cells;
                for (int i = 0; i < o.cells; ++i)
                    painter->drawRect(QRectF(big.x() + i * cell, big.y(), cell, big.height()));
            }
            painter->setPen(QColor(0, 0, 160));
            painter->drawText(big, int(o.alignment) | (o.wordWrap ? Qt::TextWordWrap : 0), o.text);
            painter->restore();
            if (o.frame) {
                painter->setPen(pen);
                if (o.frame & FrameLeft) painter->drawLine(r.topLeft(), r.bottomLeft());
                if (o.frame & FrameTop) painter->drawLine(r.topLeft(), r.topRight());
                if (o.frame & FrameRight) painter->drawLine(r.topRight(), r.bottomRight());
                if (o.frame & FrameBottom) painter->drawLine(r.bottomLeft(), r.bottomRight());
            }
            break;
        }
        }
        QPen outline(isSelected() ? QColor(0, 90, 220) : QColor(170, 170, 170));
        outline.setWidthF(isSelected() ? 0.3 : 0.1);
        outline.setStyle(Qt::DashLine);
        painter->setPen(outline);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r);
        if (isSelected())
            painter->fillRect(QRectF(r.right() - handle, r.bottom() - handle, handle, handle), QColor(0, 90, 220));
    }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override
    {
        const QPointF p = event->pos();
        m_resizing = isSelected() && p.x() >= rect().right() - handle && p.y() >= rect().bottom() - handle;
        if (m_resizing) {
            event->accept();
            return;
        }
        QGraphicsRectItem::mousePressEvent(event);
    }
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override
    {
        if (m_resizing) {
            prepareGeometryChange();
            setRect(QRectF(0, 0, std::max(1.0, snap(event->pos().x())), std::max(0.0, snap(event->pos().y()))));
            return;
        }
        QGraphicsRectItem::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override
    {
        m_resizing = false;
        QGraphicsRectItem::mouseReleaseEvent(event);
        // The layout is rebuilt afterwards, outside this item's own event.
        QTimer::singleShot(0, m_designer, [d = m_designer] { d->itemsDropped(); });
    }

private:
    TFrm_Designer *m_designer;
    ReportObject m_object;
    BandKind m_band;
    bool m_resizing = false;
};

// A ruler in millimetres along the top or the left of the canvas.
class TFrm_Designer::Ruler : public QWidget
{
public:
    Ruler(QGraphicsView *view, Qt::Orientation orientation, QWidget *parent)
        : QWidget(parent), m_view(view), m_orientation(orientation)
    {
        setObjectName(orientation == Qt::Horizontal ? QStringLiteral("Ruler_Top") : QStringLiteral("Ruler_Left"));
        if (orientation == Qt::Horizontal)
            setFixedHeight(22);
        else
            setFixedWidth(28);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(245, 245, 235));
        p.setPen(QColor(90, 90, 90));
        QFont f = font();
        f.setPixelSize(9);
        p.setFont(f);
        const bool across = m_orientation == Qt::Horizontal;
        const QPoint viewOrigin = m_view->mapTo(parentWidget(), QPoint(0, 0)) - mapTo(parentWidget(), QPoint(0, 0));
        const QRectF visible = m_view->mapToScene(m_view->viewport()->rect()).boundingRect();
        const int from = int(std::floor(across ? visible.left() : visible.top()));
        const int to = int(std::ceil(across ? visible.right() : visible.bottom()));
        for (int mm = from; mm <= to; ++mm) {
            const QPoint at = m_view->mapFromScene(QPointF(mm, mm)) + viewOrigin + m_view->viewport()->pos();
            const int length = mm % 10 == 0 ? 10 : (mm % 5 == 0 ? 6 : 3);
            if (across) {
                p.drawLine(at.x(), height() - length, at.x(), height());
                if (mm % 10 == 0)
                    p.drawText(at.x() + 2, 10, QString::number(mm));
            } else {
                p.drawLine(width() - length, at.y(), width(), at.y());
                if (mm % 10 == 0)
                    p.drawText(1, at.y() + 10, QString::number(mm));
            }
        }
    }

private:
    QGraphicsView *m_view;
    Qt::Orientation m_orientation;
};

TFrm_Designer::TFrm_Designer(TFrm_Data *dataModule, ReportTemplate *report, ReportDocument document, QWidget *parent)
    : QDialog(parent), m_data(dataModule), m_report(report), m_document(std::move(document))
{
    setObjectName(QStringLiteral("TFrm_Designer"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_undo = new QUndoStack(this);
    m_scene = new QGraphicsScene(this);
    m_view = new QGraphicsView(m_scene, this);
    m_view->setObjectName(QStringLiteral("Canvas"));
    m_view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_view->setDragMode(QGraphicsView::RubberBandDrag);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setBackgroundBrush(QColor(160, 160, 160));
    // True scale: one millimetre of the scene is one millimetre on the screen.
    const double scale = logicalDpiX() / 25.4;
    m_view->setTransform(QTransform::fromScale(scale, scale));
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);

    auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    Btn_AddText = button("Btn_AddText", QStringLiteral("文本(&T)"));
    Btn_AddField = button("Btn_AddField", QStringLiteral("字段(&F)"));
    Btn_AddLine = button("Btn_AddLine", QStringLiteral("线条(&L)"));
    Btn_AddRect = button("Btn_AddRect", QStringLiteral("矩形(&R)"));
    Btn_AddPicture = button("Btn_AddPicture", QStringLiteral("图片(&G)"));
    Btn_Delete = button("Btn_Delete", QStringLiteral("删除(&D)"));
    Btn_Undo = button("Btn_Undo", QStringLiteral("撤销(&U)"));
    Btn_Redo = button("Btn_Redo", QStringLiteral("重做(&Y)"));
    Btn_Preview = button("Btn_Preview", QStringLiteral("预览(&V)"));
    Btn_Save = button("Btn_Save", QStringLiteral("保存(&S)"));
    Btn_Close = button("Btn_Close", QStringLiteral("关闭(&Q)"));

    Combo_Band = new QComboBox(this);
    Combo_Band->setObjectName(QStringLiteral("Combo_Band"));
    for (BandKind kind : {BandKind::Title, BandKind::PageHeader, BandKind::MasterData, BandKind::Summary,
                          BandKind::PageFooter})
        Combo_Band->addItem(bandCaption(kind), int(kind));
    Combo_Band->setCurrentIndex(2);
    Edit_BandHeight = new QDoubleSpinBox(this);
    Edit_BandHeight->setObjectName(QStringLiteral("Edit_BandHeight"));
    Edit_BandHeight->setRange(0, 1000);
    Edit_BandHeight->setDecimals(1);
    Edit_BandHeight->setSuffix(QStringLiteral(" mm"));
    Edit_BandHeight->setToolTip(QStringLiteral("0 表示不用这个报表区"));
    Combo_Field = new QComboBox(this);
    Combo_Field->setObjectName(QStringLiteral("Combo_Field"));
    Combo_Field->setEditable(true);
    Combo_Field->addItems(fieldNames());
    Combo_Field->setMinimumContentsLength(14);

    auto *tools = new QHBoxLayout;
    auto *bandLabel = new QLabel(QStringLiteral("报表区(&B)："), this);
    bandLabel->setBuddy(Combo_Band);
    auto *heightLabel = new QLabel(QStringLiteral("高度(&H)："), this);
    heightLabel->setBuddy(Edit_BandHeight);
    auto *fieldLabel = new QLabel(QStringLiteral("字段(&I)："), this);
    fieldLabel->setBuddy(Combo_Field);
    for (QWidget *w : std::initializer_list<QWidget *>{bandLabel, Combo_Band, heightLabel, Edit_BandHeight, Btn_AddText,
                                                       fieldLabel, Combo_Field, Btn_AddField, Btn_AddLine, Btn_AddRect,
                                                       Btn_AddPicture, Btn_Delete, Btn_Undo, Btn_Redo})
        tools->addWidget(w);
    tools->addStretch();
    for (QWidget *w : std::initializer_list<QWidget *>{Btn_Preview, Btn_Save, Btn_Close})
        tools->addWidget(w);

    // The property panel.
    auto *panel = new QGroupBox(QStringLiteral("对象属性"), this);
    panel->setObjectName(QStringLiteral("Group_Properties"));
    auto *form = new QFormLayout(panel);
    auto row = [this, form](const QString &caption, QWidget *input, const char *name) {
        input->setObjectName(QString::fromLatin1(name));
        auto *label = new QLabel(caption, this);
        label->setBuddy(input);
        form->addRow(label, input);
    };
    auto mm = [this] {
        auto *spin = new QDoubleSpinBox(this);
        spin->setRange(-1000, 1000);
        spin->setDecimals(1);
        spin->setSingleStep(0.5);
        spin->setSuffix(QStringLiteral(" mm"));
        return spin;
    };
    row(QStringLiteral("名称(&N)："), Edit_ObjName = new QLineEdit(this), "Edit_ObjName");
    row(QStringLiteral("文本(&X)："), Edit_Text = new QLineEdit(this), "Edit_Text");
    row(QStringLiteral("显示格式(&M)："), Edit_Format = new QLineEdit(this), "Edit_Format");
    Edit_Format->setPlaceholderText(QStringLiteral("如 0.00 或 yyyy-MM-dd"));
    row(QStringLiteral("字体(&O)："), Combo_Font = new QFontComboBox(this), "Combo_Font");
    row(QStringLiteral("字号(&Z)："), Edit_FontSize = new QDoubleSpinBox(this), "Edit_FontSize");
    Edit_FontSize->setRange(1, 200);
    Edit_FontSize->setDecimals(1);
    Edit_FontSize->setSuffix(QStringLiteral(" 磅"));
    Check_Bold = new QCheckBox(QStringLiteral("粗体"), this);
    Check_Bold->setObjectName(QStringLiteral("Check_Bold"));
    Check_Italic = new QCheckBox(QStringLiteral("斜体"), this);
    Check_Italic->setObjectName(QStringLiteral("Check_Italic"));
    Check_Wrap = new QCheckBox(QStringLiteral("自动换行"), this);
    Check_Wrap->setObjectName(QStringLiteral("Check_Wrap"));
    Check_Frame = new QCheckBox(QStringLiteral("边框"), this);
    Check_Frame->setObjectName(QStringLiteral("Check_Frame"));
    auto *styleRow = new QHBoxLayout;
    for (QCheckBox *c : {Check_Bold, Check_Italic, Check_Wrap, Check_Frame})
        styleRow->addWidget(c);
    form->addRow(styleRow);
    row(QStringLiteral("水平对齐(&A)："), Combo_Align = new QComboBox(this), "Combo_Align");
    Combo_Align->addItems({QStringLiteral("左对齐"), QStringLiteral("居中"), QStringLiteral("右对齐")});
    row(QStringLiteral("垂直对齐(&E)："), Combo_VAlign = new QComboBox(this), "Combo_VAlign");
    Combo_VAlign->addItems({QStringLiteral("顶端"), QStringLiteral("居中"), QStringLiteral("底端")});
    row(QStringLiteral("线宽(&W)："), Edit_LineWidth = mm(), "Edit_LineWidth");
    Edit_LineWidth->setRange(0, 10);
    Edit_LineWidth->setSingleStep(0.1);
    row(QStringLiteral("方格数(&C)："), Edit_Cells = new QSpinBox(this), "Edit_Cells");
    Edit_Cells->setRange(0, 50);
    Edit_Cells->setToolTip(QStringLiteral("大于 0 时每个字占一个方格，如邮政编码"));
    row(QStringLiteral("左边(mm)："), Edit_X = mm(), "Edit_X");
    row(QStringLiteral("上边(mm)："), Edit_Y = mm(), "Edit_Y");
    row(QStringLiteral("宽度(mm)："), Edit_W = mm(), "Edit_W");
    row(QStringLiteral("高度(mm)："), Edit_H = mm(), "Edit_H");
    panel->setMinimumWidth(280);

    auto *canvas = new QGridLayout;
    canvas->setSpacing(0);
    m_hRuler = new Ruler(m_view, Qt::Horizontal, this);
    m_vRuler = new Ruler(m_view, Qt::Vertical, this);
    canvas->addWidget(m_hRuler, 0, 1);
    canvas->addWidget(m_vRuler, 1, 0);
    canvas->addWidget(m_view, 1, 1);
    auto *work = new QHBoxLayout;
    work->addLayout(canvas, 1);
    work->addWidget(panel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addLayout(work, 1);

    for (QScrollBar *bar : {m_view->horizontalScrollBar(), m_view->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            m_hRuler->update();
            m_vRuler->update();
        });
    connect(Btn_AddText, &QPushButton::clicked, this, [this] { addObject(ObjectKind::Text, QStringLiteral("文本")); });
    connect(Btn_AddField, &QPushButton::clicked, this, &TFrm_Designer::addField);
    connect(Btn_AddLine, &QPushButton::clicked, this, [this] { addObject(ObjectKind::Line); });
    connect(Btn_AddRect, &QPushButton::clicked, this, [this] { addObject(ObjectKind::Rect); });
    connect(Btn_AddPicture, &QPushButton::clicked, this, &TFrm_Designer::addPicture);
    connect(Btn_Delete, &QPushButton::clicked, this, &TFrm_Designer::deleteSelected);
    connect(Btn_Undo, &QPushButton::clicked, m_undo, &QUndoStack::undo);
    connect(Btn_Redo, &QPushButton::clicked, m_undo, &QUndoStack::redo);
    connect(m_undo, &QUndoStack::canUndoChanged, Btn_Undo, &QPushButton::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, Btn_Redo, &QPushButton::setEnabled);
    connect(m_undo, &QUndoStack::cleanChanged, this, &TFrm_Designer::updateCaption);
    connect(Btn_Preview, &QPushButton::clicked, this, &TFrm_Designer::preview);
    connect(Btn_Save, &QPushButton::clicked, this, &TFrm_Designer::save);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_scene, &QGraphicsScene::selectionChanged, this, &TFrm_Designer::selectionChanged);
    connect(Combo_Band, &QComboBox::currentIndexChanged, this, [this] {
        const QSignalBlocker block(Edit_BandHeight);
        const Band *band = m_document.band(targetBand());
        Edit_BandHeight->setValue(band ? band->height : 0);
    });
    connect(Edit_BandHeight, &QDoubleSpinBox::editingFinished, this, &TFrm_Designer::bandHeightEdited);
    for (QLineEdit *edit : {Edit_ObjName, Edit_Text, Edit_Format})
        connect(edit, &QLineEdit::editingFinished, this, &TFrm_Designer::propertyEdited);
    for (QDoubleSpinBox *spin : {Edit_FontSize, Edit_X, Edit_Y, Edit_W, Edit_H, Edit_LineWidth})
        connect(spin, &QDoubleSpinBox::valueChanged, this, &TFrm_Designer::propertyEdited);
    connect(Edit_Cells, &QSpinBox::valueChanged, this, &TFrm_Designer::propertyEdited);
    for (QCheckBox *check : {Check_Bold, Check_Italic, Check_Wrap, Check_Frame})
        connect(check, &QCheckBox::toggled, this, &TFrm_Designer::propertyEdited);
    for (QComboBox *combo : {Combo_Align, Combo_VAlign})
        connect(combo, &QComboBox::currentIndexChanged, this, &TFrm_Designer::propertyEdited);
    connect(Combo_Font, &QFontComboBox::currentFontChanged, this, &TFrm_Designer::propertyEdited);

    Btn_Undo->setEnabled(false);
    Btn_Redo->setEnabled(false);
    rebuild();
    Combo_Band->currentIndexChanged(Combo_Band->currentIndex());
    showProperties();
    updateCaption();
    resize(1200, 800);
}

TFrm_Designer::~TFrm_Designer()
{
    // The inputs and the scene outlive this part of the window while the base class tears
    // them down (an input losing the focus still reports an edit): they are cut off first.
    for (QObject *child : findChildren<QObject *>())
        child->disconnect(this);
    m_scene->clear();
}

void TFrm_Designer::updateCaption()
{
    setWindowTitle(QStringLiteral("报表设计 - %1%2").arg(m_report ? m_report->relativeFile() : m_document.name,
                                                         m_undo->isClean() ? QString() : QStringLiteral(" *")));
}

QStringList TFrm_Designer::fieldNames() const
{
    QStringList names;
    if (m_document.name == u"fr_Bills") {
        names = {QStringLiteral("[GoodsCode]"), QStringLiteral("[GoodsName]"), QStringLiteral("[GoodsUnit]"),
                 QStringLiteral("[Units]"), QStringLiteral("[Number]"), QStringLiteral("[SalePrice]"),
                 QStringLiteral("[Discount]"), QStringLiteral("[money]"), QStringLiteral("[BillCode]"),
                 QStringLiteral("[SUM(money)]"), QStringLiteral("[LINE#]"), QStringLiteral("[Custom.Company]"),
                 QStringLiteral("[Custom.address]"), QStringLiteral("[Custom.tel]"), QStringLiteral("[Custom.MainContact]")};
    } else {
        const QString contact = m_report ? m_report->contactVariable() : QStringLiteral("contactname");
        names = {QStringLiteral("[Company]"), QStringLiteral("[%1]").arg(contact), QStringLiteral("[postcode]"),
                 QStringLiteral("[province]"), QStringLiteral("[city]"), QStringLiteral("[address]"),
                 QStringLiteral("[tel]"), QStringLiteral("[fax]"), QStringLiteral("[Mobile]"), QStringLiteral("[email]"),
                 QStringLiteral("[url]"), QStringLiteral("[CustCode]"), QStringLiteral("[CustType]"),
                 QStringLiteral("[CustLevel]"), QStringLiteral("[MainContact]"), QStringLiteral("[introduce]")};
    }
    names << QStringLiteral("[Info.Company]") << QStringLiteral("[Info.Address]") << QStringLiteral("[Info.Postcode]")
          << QStringLiteral("[Info.tel]") << QStringLiteral("[DATE]") << QStringLiteral("[PAGE#]")
          << QStringLiteral("[TOTALPAGES]");
    return names;
}

QPointF TFrm_Designer::bandOrigin(BandKind kind) const
{
    return QPointF(m_document.page.left, m_bandTop.value(int(kind)));
}

BandKind TFrm_Designer::targetBand() const
{
    return BandKind(Combo_Band->currentData().toInt());
}

void TFrm_Designer::rebuild()
{
    const QStringList selected = [this] {
        QStringList names;
        for (QGraphicsItem *item : m_scene->selectedItems())
            names.append(item->data(0).toString());
        return names;
    }();
    {
        const QSignalBlocker block(m_scene);
        m_scene->clear();
    }
    m_bandTop.clear();
    const PageSetup &page = m_document.page;
    const bool labels = m_document.labels.active();
    double y = 0;
    QList<QPair<const Band *, double>> placed;
    for (const Band &band : m_document.bands) {
        y += stripHeight;
        m_bandTop.insert(int(band.kind), y);
        placed.append({&band, y});
        y += (labels && band.kind == BandKind::MasterData ? m_document.labels.height : band.height) + bandGap;
    }
    const double total = std::max(y, 20.0);
    // The paper with its margins, then the bands as strips with their captions.
    m_scene->addRect(QRectF(0, 0, page.width, total), QPen(Qt::NoPen), Qt::white)->setZValue(-3);
    QPen marginPen(QColor(200, 120, 120));
    marginPen.setWidthF(0.2);
    marginPen.setStyle(Qt::DotLine);
    m_scene->addLine(page.left, 0, page.left, total, marginPen)->setZValue(-2);
    m_scene->addLine(page.width - page.right, 0, page.width - page.right, total, marginPen)->setZValue(-2);
    for (const auto &[band, top] : placed) {
        const double width = labels && band->kind == BandKind::MasterData ? m_document.labels.width
                                                                          : page.width - page.left - page.right;
        const double height = labels && band->kind == BandKind::MasterData ? m_document.labels.height : band->height;
        QPen strip(QColor(120, 140, 180));
        strip.setWidthF(0.2);
        m_scene->addRect(QRectF(page.left, top - stripHeight, width, stripHeight), strip, QColor(220, 228, 245))->setZValue(-1);
        m_scene->addRect(QRectF(page.left, top, width, height), strip, QColor(252, 252, 255))->setZValue(-1);
        auto *caption = m_scene->addSimpleText(bandCaption(band->kind) + (labels && band->kind == BandKind::MasterData
                                                                              ? QStringLiteral("（标签 %1×%2）")
                                                                                    .arg(m_document.labels.columns)
                                                                                    .arg(m_document.labels.rows)
                                                                              : QString()));
        QFont f(QStringLiteral("Noto Sans CJK SC"));
        f.setPixelSize(30);
        caption->setFont(f);
        caption->setScale(0.1);
        caption->setPos(page.left + 1, top - stripHeight + 0.5);
        caption->setZValue(-1);
        for (const ReportObject &object : band->objects) {
            auto *item = new ObjectItem(this, object, band->kind);
            m_scene->addItem(item);
            if (selected.contains(object.name))
                item->setSelected(true);
        }
    }
    m_scene->setSceneRect(QRectF(-5, -5, page.width + 10, total + 10));
    m_hRuler->update();
    m_vRuler->update();
    showProperties();
}

void TFrm_Designer::setDocument(const ReportDocument &document)
{
    m_document = document;
    rebuild();
    const QSignalBlocker block(Edit_BandHeight);
    const Band *band = m_document.band(targetBand());
    Edit_BandHeight->setValue(band ? band->height : 0);
}

void TFrm_Designer::change(const QString &what, const std::function<void(ReportDocument &)> &edit, int mergeId)
{
    ReportDocument after = m_document;
    edit(after);
    m_undo->push(new Snapshot(what, m_document, std::move(after), mergeId,
                              [this](const ReportDocument &document) { setDocument(document); }));
}

QString TFrm_Designer::selectedName() const
{
    const QList<QGraphicsItem *> items = m_scene->selectedItems();
    return items.size() == 1 ? items.first()->data(0).toString() : QString();
}

void TFrm_Designer::select(const QString &objectName)
{
    m_scene->clearSelection();
    for (QGraphicsItem *item : m_scene->items())
        if (item->data(0).toString() == objectName)
            item->setSelected(true);
}

ReportObject *TFrm_Designer::selectedObject()
{
    const QString name = selectedName();
    return name.isEmpty() ? nullptr : m_document.object(name);
}

void TFrm_Designer::selectionChanged()
{
    showProperties();
}

void TFrm_Designer::showProperties()
{
    m_showing = true;
    const ReportObject *o = selectedObject();
    const QList<QWidget *> inputs{Edit_ObjName, Edit_Text, Edit_Format, Combo_Font, Edit_FontSize, Check_Bold,
                                  Check_Italic, Check_Wrap, Check_Frame, Combo_Align, Combo_VAlign, Edit_LineWidth,
                                  Edit_Cells, Edit_X, Edit_Y, Edit_W, Edit_H};
    for (QWidget *input : inputs)
        input->setEnabled(o != nullptr);
    Btn_Delete->setEnabled(!m_scene->selectedItems().isEmpty());
    if (o) {
        const bool text = o->kind == ObjectKind::Text;
        for (QWidget *input : std::initializer_list<QWidget *>{Edit_Text, Edit_Format, Combo_Font, Edit_FontSize, Check_Bold,
                                                              Check_Italic, Check_Wrap, Combo_Align, Combo_VAlign, Edit_Cells})
            input->setEnabled(text);
        Edit_ObjName->setText(o->name);
        Edit_Text->setText(o->text);
        Edit_Format->setText(o->format);
        Combo_Font->setCurrentFont(QFont(o->fontFamily));
        Edit_FontSize->setValue(o->fontSize);
        Check_Bold->setChecked(o->bold);
        Check_Italic->setChecked(o->italic);
        Check_Wrap->setChecked(o->wordWrap);
        Check_Frame->setChecked(o->frame == FrameAll);
        Combo_Align->setCurrentIndex(o->alignment & Qt::AlignHCenter ? 1 : (o->alignment & Qt::AlignRight ? 2 : 0));
        Combo_VAlign->setCurrentIndex(o->alignment & Qt::AlignTop ? 0 : (o->alignment & Qt::AlignBottom ? 2 : 1));
        Edit_LineWidth->setValue(o->lineWidth);
        Edit_Cells->setValue(o->cells);
        Edit_X->setValue(o->rect.x());
        Edit_Y->setValue(o->rect.y());
        Edit_W->setValue(o->rect.width());
        Edit_H->setValue(o->rect.height());
    } else {
        Edit_ObjName->clear();
        Edit_Text->clear();
        Edit_Format->clear();
    }
    m_showing = false;
}

void TFrm_Designer::propertyEdited()
{
    if (m_showing)
        return;
    const ReportObject *current = selectedObject();
    if (!current)
        return;
    const QString name = current->name;
    const QString newName = Edit_ObjName->text().trimmed();
    if (newName.isEmpty() || (newName.compare(name, Qt::CaseInsensitive) != 0 && m_document.object(newName))) {
        Messages::box(this, newName.isEmpty() ? QStringLiteral("对象名称不能为空!")
                                              : QStringLiteral("对象名称“%1”已被使用!").arg(newName),
                      QStringLiteral("警告"), Msg::Icon::Information);
        showProperties();
        return;
    }
    ReportObject edited = *current;
    edited.name = newName;
    edited.text = Edit_Text->text();
    edited.format = Edit_Format->text().trimmed();
    edited.fontFamily = Combo_Font->currentFont().family();
    edited.fontSize = Edit_FontSize->value();
    edited.bold = Check_Bold->isChecked();
    edited.italic = Check_Italic->isChecked();
    edited.wordWrap = Check_Wrap->isChecked();
    if (Check_Frame->isChecked() != (current->frame == FrameAll))
        edited.frame = Check_Frame->isChecked() ? FrameAll : 0;
    const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    const Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    edited.alignment = horizontal[std::max(0, Combo_Align->currentIndex())] | vertical[std::max(0, Combo_VAlign->currentIndex())];
    edited.lineWidth = Edit_LineWidth->value();
    edited.cells = Edit_Cells->value();
    edited.rect = QRectF(Edit_X->value(), Edit_Y->value(), Edit_W->value(), Edit_H->value());
    if (edited.kind != ObjectKind::Line)
        edited.rect.setSize(edited.rect.size().expandedTo(QSizeF(0.5, 0.5)));
    const auto same = [](const ReportObject &a, const ReportObject &b) {
        return a.name == b.name && a.text == b.text && a.format == b.format && a.fontFamily == b.fontFamily
               && a.fontSize == b.fontSize && a.bold == b.bold && a.italic == b.italic && a.wordWrap == b.wordWrap
               && a.frame == b.frame && a.alignment == b.alignment && a.lineWidth == b.lineWidth && a.cells == b.cells
               && a.rect == b.rect;
    };
    if (same(edited, *current))
        return;
    change(QStringLiteral("修改属性"), [name, edited](ReportDocument &d) {
        if (ReportObject *o = d.object(name))
            *o = edited;
    }, MergeProperties);
    select(newName);
}

void TFrm_Designer::bandHeightEdited()
{
    const BandKind kind = targetBand();
    const double height = Edit_BandHeight->value();
    const Band *band = m_document.band(kind);
    if ((band ? band->height : 0) == height)
        return;
    if (height <= 0 && band && !band->objects.isEmpty()
        && Messages::box(this, QStringLiteral("报表区“%1”中的对象将一起删除，继续吗？").arg(bandCaption(kind)),
                         QStringLiteral("询问"), Msg::Icon::Question, Msg::Buttons::YesNo) != Msg::Answer::Yes) {
        const QSignalBlocker block(Edit_BandHeight);
        Edit_BandHeight->setValue(band->height);
        return;
    }
    change(QStringLiteral("报表区高度"), [kind, height](ReportDocument &d) {
        if (height <= 0) {
            d.bands.removeIf([kind](const Band &b) { return b.kind == kind; });
            return;
        }
        if (Band *b = d.band(kind)) {
            b->height = height;
            return;
        }
        Band b;
        b.kind = kind;
        b.height = height;
        d.bands.append(b);
        std::stable_sort(d.bands.begin(), d.bands.end(), [](const Band &x, const Band &y) { return int(x.kind) < int(y.kind); });
    });
}

void TFrm_Designer::addObject(ObjectKind kind, const QString &text, const std::function<void(ReportObject &)> &adjust)
{
    const BandKind bandKind = targetBand();
    static const QHash<int, QString> prefixes{{int(ObjectKind::Text), QStringLiteral("Memo")},
                                              {int(ObjectKind::Line), QStringLiteral("Line")},
                                              {int(ObjectKind::Rect), QStringLiteral("Shape")},
                                              {int(ObjectKind::Picture), QStringLiteral("Picture")}};
    ReportObject object;
    object.kind = kind;
    object.name = m_document.freeName(prefixes.value(int(kind)));
    object.text = text;
    object.rect = kind == ObjectKind::Line ? QRectF(5, 2, 40, 0) : QRectF(5, 2, kind == ObjectKind::Picture ? 30 : 40,
                                                                        kind == ObjectKind::Picture ? 20 : 7);
    if (adjust)
        adjust(object);
    change(QStringLiteral("添加对象"), [bandKind, object](ReportDocument &d) {
        Band *band = d.band(bandKind);
        if (!band) {
            Band b;
            b.kind = bandKind;
            b.height = 15;
            d.bands.append(b);
            std::stable_sort(d.bands.begin(), d.bands.end(), [](const Band &x, const Band &y) { return int(x.kind) < int(y.kind); });
            band = d.band(bandKind);
        }
        band->objects.append(object);
    });
    select(object.name);
    m_view->setFocus();
}

void TFrm_Designer::addField()
{
    QString field = Combo_Field->currentText().trimmed();
    if (field.isEmpty()) {
        Messages::box(this, QStringLiteral("请先选择或输入要添加的字段!"), QStringLiteral("警告"), Msg::Icon::Information);
        Combo_Field->setFocus();
        return;
    }
    if (!field.startsWith(u'['))
        field = QLatin1Char('[') + field + QLatin1Char(']');
    addObject(ObjectKind::Text, field);
}

void TFrm_Designer::addPicture()
{
    const QString path = Platform::service().openFileName(this, QStringLiteral("选择图片"), ProgramDir::path(),
                                                           QStringLiteral("图片 (*.png *.jpg *.jpeg *.bmp)"));
    if (path.isEmpty())
        return;
    QImage image(path);
    if (image.isNull()) {
        Messages::box(this, QStringLiteral("无法读取图片“%1”!").arg(path), QStringLiteral("警告"), Msg::Icon::Information);
        return;
    }
    // The picture is kept in the template, so the layout travels as one file.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QSizeF size = QSizeF(image.size()).scaled(QSizeF(40, 30), Qt::KeepAspectRatio);
    addObject(ObjectKind::Picture, {}, [&png, size](ReportObject &object) {
        object.pictureData = png;
        object.rect.setSize(size);
    });
}

void TFrm_Designer::deleteSelected()
{
    QStringList names;
    for (QGraphicsItem *item : m_scene->selectedItems())
        names.append(item->data(0).toString());
    if (names.isEmpty())
        return;
    change(QStringLiteral("删除对象"), [names](ReportDocument &d) {
        for (Band &band : d.bands)
            band.objects.removeIf([&names](const ReportObject &o) { return names.contains(o.name); });
    });
}

void TFrm_Designer::moveSelected(double dx, double dy)
{
    QStringList names;
    for (QGraphicsItem *item : m_scene->selectedItems())
        names.append(item->data(0).toString());
    if (names.isEmpty())
        return;
    change(QStringLiteral("移动对象"), [names, dx, dy](ReportDocument &d) {
        for (const QString &name : names)
            if (ReportObject *o = d.object(name))
                o->rect.translate(dx, dy);
    }, MergeKeys);
}

void TFrm_Designer::resizeSelected(double dw, double dh)
{
    QStringList names;
    for (QGraphicsItem *item : m_scene->selectedItems())
        names.append(item->data(0).toString());
    if (names.isEmpty())
        return;
    change(QStringLiteral("改变大小"), [names, dw, dh](ReportDocument &d) {
        for (const QString &name : names)
            if (ReportObject *o = d.object(name)) {
                o->rect.setWidth(std::max(o->kind == ObjectKind::Line ? -1000.0 : 0.5, o->rect.width() + dw));
                o->rect.setHeight(std::max(o->kind == ObjectKind::Line ? -1000.0 : 0.5, o->rect.height() + dh));
            }
    }, MergeKeys);
}

void TFrm_Designer::setGeometry(const QString &objectName, const QRectF &rect, const QString &what)
{
    change(what, [objectName, rect](ReportDocument &d) {
        if (ReportObject *o = d.object(objectName))
            o->rect = rect;
    });
}

void TFrm_Designer::itemsDropped()
{
    QList<QPair<QString, QRectF>> moved;
    for (QGraphicsItem *graphic : m_scene->items()) {
        auto *item = dynamic_cast<ObjectItem *>(graphic);
        if (!item)
            continue;
        const ReportObject &o = item->object();
        const QPointF at = item->pos() - bandOrigin(item->band());
        QRectF rect(snap(at.x()), snap(at.y()), item->rect().width(), item->rect().height());
        if (o.kind == ObjectKind::Line) { // a line keeps its direction
            rect = QRectF(o.rect.width() < 0 ? rect.right() : rect.left(), o.rect.height() < 0 ? rect.bottom() : rect.top(),
                          o.rect.width() < 0 ? -rect.width() : rect.width(),
                          o.rect.height() < 0 ? -rect.height() : rect.height());
        }
        if (std::abs(rect.x() - o.rect.x()) > 1e-6 || std::abs(rect.y() - o.rect.y()) > 1e-6
            || std::abs(rect.width() - o.rect.width()) > 1e-6 || std::abs(rect.height() - o.rect.height()) > 1e-6)
            moved.append({o.name, rect});
    }
    if (moved.isEmpty())
        return;
    change(QStringLiteral("移动对象"), [moved](ReportDocument &d) {
        for (const auto &[name, rect] : moved)
            if (ReportObject *o = d.object(name))
                o->rect = rect;
    });
}

bool TFrm_Designer::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_view || watched == m_view->viewport()) && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const double step = key->modifiers() & Qt::ControlModifier ? 0.1 : 1.0;
        const bool resize = key->modifiers() & Qt::ShiftModifier;
        double dx = 0, dy = 0;
        switch (key->key()) {
        case Qt::Key_Left: dx = -step; break;
        case Qt::Key_Right: dx = step; break;
        case Qt::Key_Up: dy = -step; break;
        case Qt::Key_Down: dy = step; break;
        case Qt::Key_Delete:
            deleteSelected();
            return true;
        default:
            return QDialog::eventFilter(watched, event);
        }
        if (resize)
            resizeSelected(dx, dy);
        else
            moveSelected(dx, dy);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TFrm_Designer::save()
{
    QString error;
    if (!m_report->save(ProgramDir::path(), m_document, &error)) {
        Messages::box(this, error, QStringLiteral("警告"), Msg::Icon::Information);
        return false;
    }
    m_undo->setClean();
    return true;
}

namespace {
// The designer's preview keeps its sample rows with the pages that read them.
struct SamplePages : PageSource
{
    std::unique_ptr<Dataset> rows, customer;
    std::unique_ptr<DatasetValues> values;
    std::unique_ptr<ReportRenderer> renderer;
    int pageCount() const override { return renderer->pageCount(); }
    QSizeF pageSize() const override { return renderer->pageSize(); }
    QString documentTitle() const override { return renderer->documentTitle(); }
    void paintPage(QPainter &painter, int page) const override { renderer->paintPage(painter, page); }
};
} // namespace

void TFrm_Designer::preview()
{
    auto pages = std::make_shared<SamplePages>();
    try {
        pages->rows = std::make_unique<Dataset>(m_data->connection());
        pages->customer = std::make_unique<Dataset>(m_data->connection());
        if (m_document.name == u"fr_Bills") {
            ReportQueries::openLatestBill(*pages->rows, *pages->customer);
            pages->values = std::make_unique<DatasetValues>(pages->rows.get());
            Dataset *lines = pages->rows.get();
            pages->values->setVariables([lines](const QString &name, int row) -> std::optional<QVariant> {
                if (name.compare(u"money", Qt::CaseInsensitive) != 0 || row < 0 || row >= lines->recordCount())
                    return std::nullopt;
                auto field = [lines, row](const char *f) { return lines->value(row, lines->fieldIndex(QString::fromLatin1(f))); };
                return TFrm_Data::lineAmount(field("Number"), field("SalePrice"), field("Discount"));
            });
            pages->values->addDataset(QStringLiteral("Custom"), pages->customer.get());
        } else {
            ReportQueries::openFirstCustomers(*pages->rows, false, 30);
            pages->values = std::make_unique<DatasetValues>(pages->rows.get());
            ReportContactOptions options;
            options.fillContact = true;
            options.useMainContact = 1;
            options.defaultContact = QStringLiteral("负责人");
            Dataset *rows = pages->rows.get();
            const QString variable = m_report ? m_report->contactVariable() : QStringLiteral("contactname");
            pages->values->setVariables([rows, options, variable](const QString &name, int row) -> std::optional<QVariant> {
                if (name.compare(variable, Qt::CaseInsensitive) != 0 || row < 0 || row >= rows->recordCount())
                    return std::nullopt;
                rows->setCurrentRow(row);
                if (auto value = TFrm_Data::contactVariable(options, *rows, name, variable))
                    return QVariant(*value);
                return std::nullopt;
            });
        }
        pages->values->addDataset(QStringLiteral("Info"), m_data->Qry_Custom);
    } catch (const DbError &error) {
        Messages::errorReport(this, error.text());
        return;
    }
    pages->renderer = std::make_unique<ReportRenderer>(m_document, pages->values.get(), ProgramDir::path());
    TFrm_Preview window(pages, this);
    window.exec();
}

void TFrm_Designer::closeEvent(QCloseEvent *event)
{
    if (!m_undo->isClean()) {
        const auto answer = Messages::box(this, QStringLiteral("报表格式已修改，是否保存？"), QStringLiteral("询问"),
                                          Msg::Icon::Question, Msg::Buttons::YesNo);
        if (answer == Msg::Answer::Yes && !save()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void TFrm_Designer::reject()
{
    close();
}

namespace ReportDesign {

void open(QWidget *parent, TFrm_Data *data, const QString &reportName)
{
    ReportTemplate *report = data->report(reportName);
    if (!report)
        return;
    ReportDocument document;
    if (!report->hasLayout()) {
        document = report->emptyDocument();
    } else {
        QString error;
        auto loaded = report->document(&error);
        if (loaded) {
            document = std::move(*loaded);
        } else {
            Messages::box(parent, error + QStringLiteral("\n将以空白格式打开，保存后替换原文件。"), QStringLiteral("警告"),
                          Msg::Icon::Information);
            document = report->emptyDocument();
        }
    }
    TFrm_Designer designer(data, report, std::move(document), parent);
    designer.exec();
}

} // namespace ReportDesign
