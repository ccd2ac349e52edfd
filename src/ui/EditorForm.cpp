#include "EditorForm.h"
#include "store/Dataset.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

QLabel *EditorForm::label(const QString &caption, char key, QWidget *buddy)
{
    QString text = caption;
    const QString accelerator = QStringLiteral("(&%1)").arg(QLatin1Char(key));
    if (text.endsWith(QLatin1Char(':')))
        text.insert(text.size() - 1, accelerator);
    else
        text.append(accelerator);
    auto *label = new QLabel(text, buddy->parentWidget());
    label->setObjectName(QStringLiteral("Label_") + buddy->objectName());
    label->setBuddy(buddy);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

void EditorForm::setComboText(QComboBox *combo, const QString &text)
{
    const int index = text.isEmpty() ? -1 : combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index);
    if (index < 0 && combo->isEditable())
        combo->setEditText(text);
}

int EditorForm::comboPosition(const QComboBox *combo)
{
    const QString text = combo->currentText();
    if (text.isEmpty())
        return -1;
    const int current = combo->currentIndex();
    if (current >= 0 && combo->itemText(current) == text)
        return current;
    return combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void EditorForm::tabOrder(const QList<QWidget *> &widgets)
{
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets.at(i - 1), widgets.at(i));
}

// ------------------------------------------------------------------ navigator

RecordNavigator::RecordNavigator(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto button = [this, layout](const char *name, QStyle::StandardPixmap icon, const QString &tip,
                                 void (*step)(Dataset &)) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAutoRaise(false);
        layout->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, step] { go(step); });
        return b;
    };
    NavFirst = button("NavFirst", QStyle::SP_MediaSkipBackward, QStringLiteral("第一条"), [](Dataset &d) { d.first(); });
    NavPrior = button("NavPrior", QStyle::SP_MediaSeekBackward, QStringLiteral("上一条"), [](Dataset &d) { d.prior(); });
    NavNext = button("NavNext", QStyle::SP_MediaSeekForward, QStringLiteral("下一条"), [](Dataset &d) { d.next(); });
    NavLast = button("NavLast", QStyle::SP_MediaSkipForward, QStringLiteral("最后一条"), [](Dataset &d) { d.last(); });
    updateButtons();
}

void RecordNavigator::setDataset(Dataset *dataset)
{
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    if (dataset) {
        connect(dataset, &Dataset::currentRowChanged, this, &RecordNavigator::updateButtons);
        connect(dataset, &Dataset::reset, this, &RecordNavigator::updateButtons);
        connect(dataset, &Dataset::rowInserted, this, &RecordNavigator::updateButtons);
        connect(dataset, &Dataset::rowRemoved, this, &RecordNavigator::updateButtons);
    }
    updateButtons();
}

void RecordNavigator::go(void (*step)(Dataset &))
{
    if (!m_dataset || !m_dataset->isOpen() || m_dataset->isEmpty())
        return;
    step(*m_dataset);
    emit moved();
}

void RecordNavigator::updateButtons()
{
    const bool rows = m_dataset && m_dataset->isOpen() && !m_dataset->isEmpty();
    const int row = rows ? m_dataset->currentRow() : -1;
    const int last = rows ? m_dataset->recordCount() - 1 : -1;
    NavFirst->setEnabled(rows && row > 0);
    NavPrior->setEnabled(rows && row > 0);
    NavNext->setEnabled(rows && row < last);
    NavLast->setEnabled(rows && row < last);
}

