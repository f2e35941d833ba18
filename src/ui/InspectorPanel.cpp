#include "ui/InspectorPanel.h"

#include "ui/OrboView.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QTableWidget>

namespace {

QString Bytes(std::uint32_t colour)
{
    return QStringLiteral("%1,%2,%3").arg(colour & 0xFF).arg((colour >> 8) & 0xFF).arg((colour >> 16) & 0xFF);
}

// A label a screen reader reads, and hears change: its name is its title and text.
void SetLiveText(QLabel* label, const QString& title, const QString& text)
{
    label->setText(text);
    const QString name =
        text.isEmpty() ? title : QCoreApplication::translate("CInspectorPanel", "%1：%2").arg(title, text);
    if (label->accessibleName() != name)
        label->setAccessibleName(name);
}

} // namespace

CInspectorPanel::CInspectorPanel(COrboView& view, QWidget* parent) : QWidget(parent), m_view(view)
{
    setWindowTitle(tr("像素检查"));
    setAccessibleName(tr("像素检查"));
    auto* layout = new QVBoxLayout(this);
    m_pPixel = new QLabel;
    m_pPixel->setWordWrap(true);
    QFont bold = m_pPixel->font();
    bold.setBold(true);
    m_pPixel->setFont(bold);
    layout->addWidget(m_pPixel);
    m_pFacts = new QLabel;
    m_pFacts->setWordWrap(true);
    m_pFacts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_pFacts);
    m_pHistoryLabel = new QLabel;
    m_pHistoryLabel->setWordWrap(true);
    layout->addWidget(m_pHistoryLabel);
    m_pHistory = new QTableWidget(0, 0);
    m_pHistory->setAccessibleName(tr("像素历史"));
    m_pHistory->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_pHistory->setTextElideMode(Qt::ElideNone);
    m_pHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pHistory->setTabKeyNavigation(false);
    m_pHistory->setFocusPolicy(Qt::StrongFocus);
    m_pHistory->setMinimumHeight(m_pHistory->horizontalHeader()->sizeHint().height() +
                                 4 * m_pHistory->verticalHeader()->defaultSectionSize());
    const QString hint = tr("按 Enter 或双击一行，在逐步绘制中查看那个样本的面片和扫描线。");
    m_pHistory->setToolTip(hint);
    m_pHistory->setAccessibleDescription(hint);
    connect(m_pHistory, &QTableWidget::itemActivated, this,
            [this](QTableWidgetItem* item) { Activate(item->row()); });
    layout->addWidget(m_pHistory, 1);

    connect(&m_view, &COrboView::InspectionChanged, this, &CInspectorPanel::UpdateFacts);
    connect(&m_view, &COrboView::HistoryChanged, this, &CInspectorPanel::UpdateHistory);
    UpdateFacts();
    UpdateHistory();
}

void CInspectorPanel::UpdateFacts()
{
    int x = 0, y = 0;
    QString pixel;
    if (!m_view.InspectedLogicalPixel(x, y))
        pixel = tr("把鼠标移到画面上查看像素；单击固定一个像素，Shift 加方向键移动它。");
    else if (m_view.PixelHeld())
        pixel = tr("像素 (%1, %2)，已固定（Esc 放开，单击别处改选）").arg(x).arg(y);
    else
        pixel = tr("像素 (%1, %2)，跟随鼠标（单击固定）").arg(x).arg(y);
    SetLiveText(m_pPixel, tr("所查看的像素"), pixel);
    SetLiveText(m_pFacts, tr("像素的事实"), m_view.InspectedFacts().join(tr("；")));
}

void CInspectorPanel::UpdateHistory()
{
    const std::vector<SHistoryEntry>& history = m_view.History();
    int x = 0;
    m_nY = 0;
    const bool inspecting = m_view.InspectedLogicalPixel(x, m_nY);
    const bool tested = !history.empty() && history.front().tested;
    QStringList headers = {tr("顺序"), tr("面片 i, j")};
    if (tested)
        headers << tr("样本 x") << tr("深度") << tr("比较的深度") << tr("深度测试");
    headers << tr("写入的颜色");
    m_pHistory->clear();
    m_pHistory->setColumnCount(static_cast<int>(headers.size()));
    m_pHistory->setHorizontalHeaderLabels(headers);
    m_pHistory->setRowCount(static_cast<int>(history.size()));
    QStringList numbers;
    int passed = 0;
    for (std::size_t k = 0; k < history.size(); ++k) {
        const SHistoryEntry& e = history[k];
        numbers << QString::number(k);
        QStringList cells = {QString::number(e.order), QStringLiteral("%1, %2").arg(e.i).arg(e.j)};
        if (tested)
            cells << QString::number(e.x, 'f', 3) << QString::number(e.depth, 'f', 3)
                  << QString::number(e.testedAgainst, 'f', 3) << (e.passed ? tr("通过") : tr("未通过"));
        cells << (e.hasColour ? Bytes(e.colour) : tr("（没有写入）"));
        passed += e.passed ? 1 : 0;
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c + 1 == cells.size() && e.hasColour) {
                QPixmap swatch(12, 12);
                swatch.fill(QColor(e.colour & 0xFF, (e.colour >> 8) & 0xFF, (e.colour >> 16) & 0xFF));
                item->setIcon(swatch);
            }
            m_pHistory->setItem(static_cast<int>(k), c, item);
        }
    }
    m_pHistory->setVerticalHeaderLabels(numbers);

    QString text;
    if (!inspecting)
        text = QString();
    else if (history.empty())
        text = tr("像素历史：没有样本到达这个像素，它是背景。");
    else if (tested)
        text = tr("像素历史：按绘制顺序到达的 %1 个样本，%2 个通过深度测试，最后通过的一个写下了像素的颜色。")
                   .arg(history.size())
                   .arg(passed);
    else
        text = tr("像素历史：线框写到这个像素 %1 次，不做深度测试，最后写入的颜色留下。").arg(history.size());
    SetLiveText(m_pHistoryLabel, tr("像素历史"), text);
}

void CInspectorPanel::Activate(int row)
{
    const std::vector<SHistoryEntry>& history = m_view.History();
    if (row < 0 || static_cast<std::size_t>(row) >= history.size())
        return;
    emit ShowSample(history[static_cast<std::size_t>(row)].order, m_nY);
}
