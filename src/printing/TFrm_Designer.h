#pragma once

#include "report/ReportModel.h"

#include <QDialog>
#include <QHash>
#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QGraphicsScene;
class QGraphicsView;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QUndoStack;
class ReportTemplate;
class TFrm_Data;

// The report designer: the page at true scale with rulers, the bands as strips, objects
// added, selected, moved and resized with the mouse or the arrow keys (Shift+arrow
// resizes, Ctrl moves by 0.1 mm), a property panel, undo and redo, a preview with the
// first rows of real data, and saving to the template file in one piece.
class TFrm_Designer : public QDialog
{
    Q_OBJECT
public:
    TFrm_Designer(TFrm_Data *dataModule, ReportTemplate *report, Report::ReportDocument document, QWidget *parent = nullptr);
    ~TFrm_Designer() override;

    const Report::ReportDocument &document() const { return m_document; }
    QUndoStack *undoStack() const { return m_undo; }
    QGraphicsScene *scene() const { return m_scene; }
    QGraphicsView *view() const { return m_view; }
    // The selected object's name, empty when none or several are selected.
    QString selectedName() const;
    void select(const QString &objectName);

    // Editing, each one step of undo.
    void addObject(Report::ObjectKind kind, const QString &text = {},
                   const std::function<void(Report::ReportObject &)> &adjust = {});
    void addField();
    void addPicture();
    void deleteSelected();
    void moveSelected(double dx, double dy);   // mm
    void resizeSelected(double dw, double dh); // mm
    void setGeometry(const QString &objectName, const QRectF &rect, const QString &what);
    bool save();
    void preview();

    // The scene's place of a band's top-left corner (mm).
    QPointF bandOrigin(Report::BandKind kind) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    class ObjectItem;
    class Ruler;
    friend class ObjectItem;
    void change(const QString &what, const std::function<void(Report::ReportDocument &)> &edit, int mergeId = -1);
    void setDocument(const Report::ReportDocument &document);
    void rebuild();
    void selectionChanged();
    void showProperties();
    void propertyEdited();
    void bandHeightEdited();
    void itemsDropped();
    Report::ReportObject *selectedObject();
    Report::BandKind targetBand() const;
    QStringList fieldNames() const;
    void updateCaption();

    TFrm_Data *m_data;
    ReportTemplate *m_report;
    Report::ReportDocument m_document;
    QUndoStack *m_undo;
    QGraphicsScene *m_scene;
    QGraphicsView *m_view;
    Ruler *m_hRuler, *m_vRuler;
    QHash<int, double> m_bandTop; // scene y of each band (by kind)
    bool m_showing = false;       // properties being filled: no edits from the panel

    QPushButton *Btn_AddText, *Btn_AddField, *Btn_AddLine, *Btn_AddRect, *Btn_AddPicture, *Btn_Delete;
    QPushButton *Btn_Undo, *Btn_Redo, *Btn_Preview, *Btn_Save, *Btn_Close;
    QComboBox *Combo_Band, *Combo_Field;
    QDoubleSpinBox *Edit_BandHeight;
    QLineEdit *Edit_ObjName, *Edit_Text, *Edit_Format;
    QFontComboBox *Combo_Font;
    QDoubleSpinBox *Edit_FontSize, *Edit_X, *Edit_Y, *Edit_W, *Edit_H, *Edit_LineWidth;
    QCheckBox *Check_Bold, *Check_Italic, *Check_Frame, *Check_Wrap;
    QComboBox *Combo_Align, *Combo_VAlign;
    QSpinBox *Edit_Cells;
};

namespace ReportDesign {
// Opens the designer on a report of the data module. A missing template starts from an
// empty layout; a damaged one is told and then replaced only when the operator saves.
void open(QWidget *parent, TFrm_Data *data, const QString &reportName);
} // namespace ReportDesign
