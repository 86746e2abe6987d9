#include "ui/reports/reportfilterbar.h"

#include "ui/common/controls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace velmor {

ReportFilterBar::ReportFilterBar(QWidget *parent) : QWidget(parent)
{
    m_state = new QComboBox(this);
    m_state->setObjectName(u"cmbDurum"_s);
    m_state->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_search = new QLineEdit(this);
    m_search->setObjectName(u"txtAra"_s);
    m_search->setMaxLength(101);
    m_search->setPlaceholderText(u"Ara: ad, numara veya mesaj (* ? # [...] kullanılabilir)"_s);
    m_search->setClearButtonEnabled(true);
    setStates({});

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(CaptionLabel(u"Durum :"_s, m_state, this));
    layout->addWidget(m_state);
    layout->addSpacing(12);
    layout->addWidget(CaptionLabel(u"Ara :"_s, m_search, this));
    layout->addWidget(m_search, 1);

    connect(m_state, &QComboBox::currentIndexChanged, this, &ReportFilterBar::filterChanged);
    connect(m_search, &QLineEdit::textChanged, this, &ReportFilterBar::filterChanged);
}

void ReportFilterBar::setStates(const QStringList &states)
{
    const QVariant chosen = m_state->currentData();
    const QSignalBlocker blocker(m_state);
    m_state->clear();
    m_state->addItem(u"Tüm Durumlar"_s);
    for (const QString &state : states)
        m_state->addItem(StateCaption(state), state);
    const int again = chosen.isValid() ? m_state->findData(chosen) : -1;
    m_state->setCurrentIndex(std::max(again, 0));
}

ReportRowFilter ReportFilterBar::filter() const
{
    const QVariant state = m_state->currentData();
    return {state.isValid() ? std::optional<QString>(state.toString()) : std::nullopt, m_search->text()};
}

} // namespace velmor
