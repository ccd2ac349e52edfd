#pragma once

#include <QDialog>
#include <QImage>
#include <memory>

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace Report {
class PageSource;
}

// The print preview of a report or a printed grid: page navigation, zoom (whole page,
// page width, true size and more), printing through the system's print dialog and export
// to PDF and PNG. Only the page on screen is drawn, so the first page of a long report
// shows at once.
class TFrm_Preview : public QDialog
{
    Q_OBJECT
public:
    enum class Zoom { FitPage, FitWidth, Percent };

    TFrm_Preview(std::shared_ptr<const Report::PageSource> source, QWidget *parent = nullptr);
    ~TFrm_Preview() override;

    const Report::PageSource &source() const { return *m_source; }
    int currentPage() const { return m_page; }
    void showPage(int page);
    void setZoom(Zoom zoom, int percent = 100);
    // Screen dots per inch the page is drawn at now.
    double pageDpi() const;
    // How many pages were drawn for the screen so far (pages are drawn as they are shown).
    int pagesDrawn() const { return m_pagesDrawn; }

    // Prints the pages fromPage..toPage (1-based, 0: all) on a printer that is set up.
    static void printPages(const Report::PageSource &source, QPrinter &printer);
    // A printer set up for the source: paper size and orientation, origin at the paper's corner.
    static void preparePrinter(const Report::PageSource &source, QPrinter &printer);

    void print();
    void exportPdf();
    void exportPng();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    class PageView;
    void zoomChosen(int index);
    void refresh();

    std::shared_ptr<const Report::PageSource> m_source;
    int m_page = 0;
    Zoom m_zoom = Zoom::FitWidth;
    int m_percent = 100;
    int m_pagesDrawn = 0;

    QPushButton *Btn_First, *Btn_Prior, *Btn_Next, *Btn_Last, *Btn_Print, *Btn_Pdf, *Btn_Png, *Btn_Close;
    QSpinBox *Edit_Page;
    QLabel *Label_Count;
    QComboBox *Combo_Zoom;
    QScrollArea *ScrollBox;
    PageView *m_view;
};
