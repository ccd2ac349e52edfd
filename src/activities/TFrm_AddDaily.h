#pragma once

#include "ui/RecordEditor.h"

#include <memory>

class Session;
class TFrm_Data;
namespace Ui { class TFrm_AddDaily; }

// The diary editor: one entry of the work diary, added to or changed in the shared
// diary query Qry_Daily. Add mode saves any number of entries in a row, clearing the
// inputs after each; edit mode changes the current entry and closes. Every save makes
// the current operator the entry's author.
class TFrm_AddDaily : public RecordEditor
{
    Q_OBJECT
public:
    explicit TFrm_AddDaily(Session *session, QWidget *parent = nullptr);
    ~TFrm_AddDaily() override;

    // Btn_OK: checks the subject, then appends (add mode) or changes the current entry
    // (edit mode; an empty list gets a new entry instead).
    void save();

protected:
    void showSteps() override;
    void loadRecord() override;

private:
    void clearInputs();
    bool writeEntry();

    std::unique_ptr<Ui::TFrm_AddDaily> ui;
    Session *m_session;
    TFrm_Data *m_data;
};
