#include "ui/Stepper.h"

#include "raster/PixelSink.h"
#include "render/TorusRenderer.h"
#include "ui/OrboDoc.h"
#include "ui/OrboView.h"

#include <QAction>
#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

// Cyan and magenta for the facet and its edges, bright green and red for the
// depth tests: the torus is drawn in golden, orange and white tones.
const QColor CStepper::kOutline(0, 255, 255);
const QColor CStepper::kEdgeMark(255, 0, 255);
const QColor CStepper::kPassed(0, 255, 0);
const QColor CStepper::kFailed(255, 0, 0);

namespace {

// The panel's settings are looked at this often while stepping, as the view's
// own ticks look at them while the animation plays.
constexpr int kSettingsPollMs = 50;

bool SameSettings(const CRenderSettings& a, const CRenderSettings& b)
{
    return a.m_nRingRadius == b.m_nRingRadius && a.m_nSectionRadius == b.m_nSectionRadius &&
           a.m_nSurfaceSteps == b.m_nSurfaceSteps && a.m_nSectionSteps == b.m_nSectionSteps &&
           a.m_nMode == b.m_nMode && a.m_nLight == b.m_nLight && a.m_nShading == b.m_nShading;
}

QTableWidget* MakeTable(const QStringList& headers, const QString& name)
{
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->setAccessibleName(name);
    return table;
}

void SetRow(QTableWidget* table, int row, const QStringList& cells)
{
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, c, item);
    }
}

} // namespace

CStepper::CStepper(COrboView& view, COrboDoc& doc, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_view(view), m_pViewAlive(&view), m_doc(doc),
      m_nRow(CTorusRenderer::kAllRows)
{
    setWindowTitle(tr("逐步绘制"));
    setAccessibleName(tr("逐步绘制"));
    BuildControls();
    resize(sizeHint());
    connect(&m_view, &COrboView::FramePainted, this, &CStepper::FramePainted);
    m_pSettingsTimer = new QTimer(this);
    connect(m_pSettingsTimer, &QTimer::timeout, this, &CStepper::FollowSettings);
}

// The main window may have destroyed the view first; then there is nothing
// to give back.
CStepper::~CStepper()
{
    if (m_pViewAlive)
        Stop();
}

QToolButton* CStepper::AddButton(QWidget* row, const QString& text, const QString& name,
                                 const QKeySequence& key, int icon, void (CStepper::*slot)())
{
    // One action for the button and the key: a shortcut in this window, and
    // taken from the view's keys while the stepper runs (eventFilter).
    auto* action = new QAction(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)), text, this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    action->setToolTip(QStringLiteral("%1 (%2)").arg(name, key.toString(QKeySequence::NativeText)));
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    auto* button = new QToolButton(row);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAccessibleName(name);
    row->layout()->addWidget(button);
    return button;
}

void CStepper::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    m_pHeading = new QLabel;
    m_pHeading->setAccessibleName(tr("当前面片"));
    QFont bold = m_pHeading->font();
    bold.setBold(true);
    m_pHeading->setFont(bold);
    layout->addWidget(m_pHeading);

    auto* facetRow = new QWidget;
    facetRow->setLayout(new QHBoxLayout);
    facetRow->layout()->setContentsMargins(0, 0, 0, 0);
    AddButton(facetRow, tr("第一个"), tr("第一个面片"), QKeySequence(Qt::Key_Home),
              QStyle::SP_MediaSkipBackward, &CStepper::First);
    AddButton(facetRow, tr("上一个"), tr("上一个面片"), QKeySequence(Qt::Key_Left),
              QStyle::SP_MediaSeekBackward, &CStepper::Previous);
    AddButton(facetRow, tr("下一个"), tr("下一个面片"), QKeySequence(Qt::Key_Right),
              QStyle::SP_MediaSeekForward, &CStepper::Next);
    AddButton(facetRow, tr("最后"), tr("最后一个面片"), QKeySequence(Qt::Key_End),
              QStyle::SP_MediaSkipForward, &CStepper::Last);
    layout->addWidget(facetRow);

    m_pSlider = new QSlider(Qt::Horizontal);
    m_pSlider->setAccessibleName(tr("已绘制的面片数"));
    m_pSlider->setRange(0, 0);
    // The slider's own keys are the stepper's: the actions above take them.
    m_pSlider->setFocusPolicy(Qt::ClickFocus);
    connect(m_pSlider, &QSlider::valueChanged, this, [this](int value) {
        if (value != m_nFacet)
            SetFacet(value);
    });
    layout->addWidget(m_pSlider);

    auto* rowRow = new QWidget;
    rowRow->setLayout(new QHBoxLayout);
    rowRow->layout()->setContentsMargins(0, 0, 0, 0);
    m_pPrevRow = AddButton(rowRow, tr("上一扫描线"), tr("上一条扫描线"), QKeySequence(Qt::Key_Down),
                           QStyle::SP_ArrowDown, &CStepper::PreviousRow);
    m_pNextRow = AddButton(rowRow, tr("下一扫描线"), tr("下一条扫描线"), QKeySequence(Qt::Key_Up),
                           QStyle::SP_ArrowUp, &CStepper::NextRow);
    static_cast<QHBoxLayout*>(rowRow->layout())->addStretch(1);
    layout->addWidget(rowRow);

    m_pRowLabel = new QLabel;
    m_pRowLabel->setAccessibleName(tr("扫描线"));
    layout->addWidget(m_pRowLabel);
    m_pCorners = MakeTable({tr("角点"), tr("x"), tr("y"), tr("深度")}, tr("面片的角点"));
    layout->addWidget(m_pCorners, 4);
    m_pEdges = MakeTable({tr("活动边"), tr("x"), tr("每行步长"), tr("末行")}, tr("活动边表"));
    layout->addWidget(m_pEdges, 3);
    m_pDepthLabel = new QLabel;
    m_pDepthLabel->setTextFormat(Qt::RichText);
    m_pDepthLabel->setAccessibleName(tr("深度测试"));
    layout->addWidget(m_pDepthLabel);
    setFocusPolicy(Qt::StrongFocus);
}

// The stepper's keys pressed in the view step as they do in this window.
bool CStepper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_view && m_bRunning && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        // Taken even while disabled (no scanlines in a wireframe): the view's own
        // use of these keys, turning the torus, waits until the stepper closes.
        for (QAction* action : actions()) {
            if (action->shortcut() == pressed) {
                if (action->isEnabled())
                    action->trigger();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

int CStepper::Count() const
{
    return m_view.Renderer().FacetsDrawn();
}

bool CStepper::Filled() const
{
    return m_applied.m_nMode != kModeWireframe;
}

bool CStepper::FacetRows(int n, int& yLow, int& yHigh) const
{
    if (n < 1 || n > Count())
        return false;
    const SDrawnFacet& facet = m_view.Renderer().DrawnFacet(n - 1);
    yLow = yHigh = facet.corners[0].m_position.y;
    for (const CFillVertex& corner : facet.corners) {
        yLow = std::min(yLow, corner.m_position.y);
        yHigh = std::max(yHigh, corner.m_position.y);
    }
    return yHigh > yLow;
}

void CStepper::Start()
{
    if (m_bRunning)
        return;
    m_bRunning = true;
    // The panel's current choices, which the view takes over only while playing.
    m_applied = m_doc;
    m_strTexture = m_view.TexturePath();
    m_view.TakeOverSettings(m_applied);
    m_nFacet = 0;
    m_nRow = CTorusRenderer::kAllRows;
    m_view.installEventFilter(this);
    m_view.SetOverlay([this](QPainter& painter, const CPixelSink& frame) { PaintOverlay(painter, frame); });
    m_pSettingsTimer->start(kSettingsPollMs);
    Apply();
}

void CStepper::Stop()
{
    if (!m_bRunning)
        return;
    m_bRunning = false;
    m_pSettingsTimer->stop();
    m_view.removeEventFilter(this);
    CTorusRenderer& renderer = m_view.Renderer();
    renderer.SetFacetLimit(CTorusRenderer::kAllFacets);
    renderer.SetRowLimit(CTorusRenderer::kAllRows);
    renderer.SetScanlineProbe(nullptr);
    m_probe.Clear();
    m_view.SetOverlay(nullptr);
    m_view.update();
    emit StatusChanged(QString());
}

void CStepper::SetFacet(int n)
{
    n = std::clamp(n, 0, Count());
    if (n == m_nFacet && m_nRow == CTorusRenderer::kAllRows)
        return;
    m_nFacet = n;
    m_nRow = CTorusRenderer::kAllRows;
    Apply();
}

void CStepper::StepRow(int delta)
{
    if (!Filled()) {
        StepFacet(delta);
        return;
    }
    int yLow = 0, yHigh = 0;
    if (delta > 0) {
        if (m_nRow != CTorusRenderer::kAllRows) {
            // The next row, or past the last one the facet whole.
            if (FacetRows(m_nFacet, yLow, yHigh) && m_nRow + 1 < yHigh)
                ++m_nRow;
            else
                m_nRow = CTorusRenderer::kAllRows;
        } else {
            // The next facet with scanlines, from its first.
            int n = m_nFacet + 1;
            while (n <= Count() && !FacetRows(n, yLow, yHigh))
                ++n;
            if (n > Count())
                return;
            m_nFacet = n;
            m_nRow = yLow;
        }
    } else {
        if (m_nRow == CTorusRenderer::kAllRows) {
            if (FacetRows(m_nFacet, yLow, yHigh))
                m_nRow = yHigh - 1; // the facet's last row
            else if (m_nFacet > 0)
                --m_nFacet;
            else
                return;
        } else if (FacetRows(m_nFacet, yLow, yHigh) && m_nRow > yLow) {
            --m_nRow;
        } else {
            // Before its first row: the facets before it, whole.
            m_nRow = CTorusRenderer::kAllRows;
            --m_nFacet;
        }
    }
    Apply();
}

void CStepper::Apply()
{
    CTorusRenderer& renderer = m_view.Renderer();
    renderer.SetFacetLimit(m_nFacet);
    renderer.SetRowLimit(m_nRow);
    renderer.SetScanlineProbe(m_nRow != CTorusRenderer::kAllRows ? &m_probe : nullptr);
    if (m_nRow == CTorusRenderer::kAllRows)
        m_probe.Clear();
    m_view.update();
    UpdateControls();
}

void CStepper::FramePainted()
{
    if (!m_bRunning)
        return;
    // A changed torus may have fewer facets, or other rows: keep what still exists.
    int yLow = 0, yHigh = 0;
    const bool rowGone = m_nRow != CTorusRenderer::kAllRows &&
                         (!FacetRows(m_nFacet, yLow, yHigh) || m_nRow < yLow || m_nRow >= yHigh);
    if (m_nFacet > Count() || rowGone || (m_nRow != CTorusRenderer::kAllRows && !Filled())) {
        m_nFacet = std::min(m_nFacet, Count());
        m_nRow = CTorusRenderer::kAllRows;
        Apply();
        return;
    }
    UpdateControls();
}

void CStepper::FollowSettings()
{
    // The view loads a newly chosen texture on its own tick; the frame is redrawn
    // with it once it has.
    const std::string& texture = m_view.TexturePath();
    if (SameSettings(m_doc, m_applied) && texture == m_strTexture)
        return;
    m_applied = m_doc;
    m_strTexture = texture;
    m_view.TakeOverSettings(m_applied);
    m_view.update();
}

QString CStepper::StatusText() const
{
    if (!m_bRunning)
        return QString();
    QString text = tr("面片 %1 / %2").arg(m_nFacet).arg(Count());
    if (m_nFacet > 0 && m_nFacet <= Count()) {
        const SDrawnFacet& facet = m_view.Renderer().DrawnFacet(m_nFacet - 1);
        text += tr(" · i = %1, j = %2").arg(facet.i).arg(facet.j);
    }
    if (m_nRow != CTorusRenderer::kAllRows)
        text += tr(" · 扫描线 y = %1").arg(m_nRow);
    return text;
}

void CStepper::UpdateControls()
{
    const int count = Count();
    {
        const QSignalBlocker block(m_pSlider);
        m_pSlider->setRange(0, count);
        m_pSlider->setValue(m_nFacet);
    }
    const QString status = StatusText();
    m_pHeading->setText(status);
    m_pPrevRow->defaultAction()->setEnabled(Filled());
    m_pNextRow->defaultAction()->setEnabled(Filled());

    const bool hasFacet = m_nFacet > 0 && m_nFacet <= count;
    const bool onRow = m_nRow != CTorusRenderer::kAllRows;
    UpdateCorners(hasFacet);
    UpdateRowText(hasFacet, onRow);
    UpdateEdgeTable(onRow);
    emit StatusChanged(status);
}

// The current facet's corners: screen position and depth.
void CStepper::UpdateCorners(bool hasFacet)
{
    m_pCorners->setRowCount(hasFacet ? CFacet::kCorners : 0);
    if (hasFacet) {
        const SDrawnFacet& facet = m_view.Renderer().DrawnFacet(m_nFacet - 1);
        for (int c = 0; c < CFacet::kCorners; ++c) {
            const CScreenPointZ& p = facet.corners[c].m_position;
            SetRow(m_pCorners, c,
                   {QString::number(c), QString::number(p.x, 'f', 3), QString::number(p.y),
                    QString::number(p.z, 'f', 3)});
        }
    }
}

// Where the walk stands in the current facet, in words.
void CStepper::UpdateRowText(bool hasFacet, bool onRow)
{
    int yLow = 0, yHigh = 0;
    const bool rows = hasFacet && Filled() && FacetRows(m_nFacet, yLow, yHigh);
    if (!Filled())
        m_pRowLabel->setText(tr("线框按面片逐步绘制，没有扫描线。"));
    else if (!hasFacet)
        m_pRowLabel->setText(tr("还没有绘制面片。"));
    else if (!onRow)
        m_pRowLabel->setText(rows ? tr("整个面片（扫描线 y = %1 … %2）").arg(yLow).arg(yHigh - 1)
                                  : tr("整个面片（没有扫描线）"));
    else if (!m_probe.m_bReached)
        m_pRowLabel->setText(tr("扫描线 y = %1（第 %2 / %3 行）：不在图像内，未填充")
                                 .arg(m_nRow)
                                 .arg(m_nRow - yLow + 1)
                                 .arg(yHigh - yLow));
    else
        m_pRowLabel->setText(
            tr("扫描线 y = %1（第 %2 / %3 行）").arg(m_nRow).arg(m_nRow - yLow + 1).arg(yHigh - yLow));
}

// The active edges as the fill's walk held them on the current row, and its depth tests.
void CStepper::UpdateEdgeTable(bool onRow)
{
    const bool probed = onRow && m_probe.m_bReached;
    m_pEdges->setRowCount(probed ? static_cast<int>(m_probe.m_edges.size()) : 0);
    if (probed) {
        for (std::size_t k = 0; k < m_probe.m_edges.size(); ++k) {
            const SScanlineProbe::SEdge& e = m_probe.m_edges[k];
            SetRow(m_pEdges, static_cast<int>(k),
                   {QString::number(k), QString::number(e.x, 'f', 4), QString::number(e.dx, 'f', 4),
                    QString::number(e.yMax - 1)});
        }
        const auto passed = std::count_if(m_probe.m_samples.begin(), m_probe.m_samples.end(),
                                          [](const SScanlineProbe::SSample& s) { return s.passed; });
        const auto failed = static_cast<qsizetype>(m_probe.m_samples.size()) - passed;
        m_pDepthLabel->setText(tr("深度测试：<span style=\"color:%1\">■</span> 通过 %2　"
                                  "<span style=\"color:%3\">■</span> 未通过 %4")
                                   .arg(kPassed.darker(130).name())
                                   .arg(passed)
                                   .arg(kFailed.name())
                                   .arg(failed));
    } else {
        m_pDepthLabel->setText(onRow ? QString() : tr("按 ↑ 逐条扫描线填充当前面片。"));
        if (!Filled())
            m_pDepthLabel->clear();
    }
}

// Over the frame, never into it: the facet's outline, and on the current
// scanline the active edges' x and each sample's depth test just above the row.
void CStepper::PaintOverlay(QPainter& painter, const CPixelSink& frame) const
{
    if (!m_bRunning || m_nFacet < 1 || m_nFacet > Count() || frame.Width() == 0 || frame.Height() == 0)
        return;
    painter.save();
    // The frame may have more pixels than the view has units.
    painter.scale(static_cast<double>(m_view.width()) / frame.Width(),
                  static_cast<double>(m_view.height()) / frame.Height());
    // Logical x of a pixel's centre is its column: logical (0, 0) is the centre
    // of the device pixel of the origin.
    const CPixelMapping mapping = frame.Mapping();
    const double left = static_cast<double>(mapping.Column(0)) + 0.5;
    const double top = static_cast<double>(mapping.Row(0)) + 0.5;
    auto at = [&](double x, double y) { return QPointF(left + x, top - y); };

    const SDrawnFacet& facet = m_view.Renderer().DrawnFacet(m_nFacet - 1);
    QPainterPath outline;
    outline.moveTo(at(facet.corners[0].m_position.x, facet.corners[0].m_position.y));
    for (int c = 1; c <= CFacet::kCorners; ++c) {
        const CScreenPointZ& p = facet.corners[c % CFacet::kCorners].m_position;
        outline.lineTo(at(p.x, p.y));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 160), 3.0));
    painter.drawPath(outline);
    painter.setPen(QPen(kOutline, 1.0));
    painter.drawPath(outline);

    if (m_nRow != CTorusRenderer::kAllRows && m_probe.m_bReached) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        const double y = m_probe.m_nY;
        // Two rows of marks just above the row filled last, one per sample.
        for (const SScanlineProbe::SSample& s : m_probe.m_samples)
            painter.fillRect(QRectF(at(s.px - 0.5, y + 3.5), QSizeF(1.0, 2.0)), s.passed ? kPassed : kFailed);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const SScanlineProbe::SEdge& e : m_probe.m_edges) {
            painter.setPen(QPen(QColor(0, 0, 0, 160), 3.0));
            painter.drawLine(at(e.x, y + 8.0), at(e.x, y - 6.0));
            painter.setPen(QPen(kEdgeMark, 1.0));
            painter.drawLine(at(e.x, y + 8.0), at(e.x, y - 6.0));
        }
    }
    painter.restore();
}
