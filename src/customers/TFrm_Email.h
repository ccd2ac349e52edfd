#pragma once

#include <QDialog>
#include <memory>

class TFrm_Data;
namespace Ui { class TFrm_Email; }

// E-mail address export: writes the customers' e-mail addresses, one per line, into
// Export/<name>.txt beside the executable (GBK text, CRLF line ends) and opens the file
// with the desktop's handler.
class TFrm_Email : public QDialog
{
    Q_OBJECT
public:
    enum Range { CurrentList = 0, AllCustomers = 1 };

    explicit TFrm_Email(TFrm_Data *data, QWidget *parent = nullptr);
    ~TFrm_Email() override;

    int range() const;
    void setRange(int range);
    // Where the export goes for a base name: <program dir>/Export/<trimmed name>.txt.
    static QString exportPath(const QString &baseName);
    // The success message: how many addresses went into which file, and a note when the
    // desktop had nothing to show the file with.
    static QString exportedText(int addresses, const QString &nativePath, bool shown);
    // Runs the export for the chosen range; the dialog stays open.
    void start();

private:
    std::unique_ptr<Ui::TFrm_Email> ui;
    TFrm_Data *m_data;
};
