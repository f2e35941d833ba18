#include "ui/Stepper.h"

#include "raster/PixelSink.h"
#include "render/TorusRenderer.h"
#include "ui/OrboDoc.h"
#include "ui/OrboView.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <map>

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
constexpr int kDefaultPlayRate = 4; // steps a second
constexpr int kMaxPlayRate = 30;

// Where the marks of a scanline stand, in rows of the frame above (+) and below
// (-) the row: the samples' marks, two rows each, from kMarksFrom up, one above
// the other where samples share a column; the edges' marks beside the row,
// above the samples' marks and below the row, with a gap that their dark
// border does not cross. The row itself and the one above stay in sight.
constexpr int kMarksFrom = 2;
constexpr int kMarkRows = 2;
constexpr int kEdgeGap = 2;
constexpr int kEdgeLength = 6;

const QColor kShade(0, 0, 0, 160); // the dark border that sets a mark off the picture

bool SameSettings(const CRenderSettings& a, const CRenderSettings& b)
{
    return a.m_nRingRadius == b.m_nRingRadius && a.m_nSectionRadius == b.m_nSectionRadius &&
           a.m_nSurfaceSteps == b.m_nSurfaceSteps && a.m_nSectionSteps == b.m_nSectionSteps &&
           a.m_nMode == b.m_nMode && a.m_nLight == b.m_nLight && a.m_nShading == b.m_nShading;
}

// A table read row by row: its rows are numbered from 0 in their header, as the
// corners and edges are, and the keyboard reaches it (Tab, then the arrows).
QTableWidget* MakeTable(const QString& name)
{
    auto* table = new QTableWidget(0, 0);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setFocusPolicy(Qt::StrongFocus);
    table->setTabKeyNavigation(false);
    table->setAccessibleName(name);
    return table;
}

void SetRows(QTableWidget* table, const QStringList& headers, const std::vector<QStringList>& rows)
{
    if (table->columnCount() != headers.size())
        table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(static_cast<int>(rows.size()));
    QStringList numbers;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        numbers << QString::number(r);
        for (int c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(rows[r][c]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(static_cast<int>(r), c, item);
        }
    }
    table->setVerticalHeaderLabels(numbers);
    // As tall as its rows (one at least), so that the panel shows them all.
    table->resizeRowsToContents();
    int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth();
    for (int r = 0; r < table->rowCount(); ++r)
        height += table->rowHeight(r);
    if (table->rowCount() == 0)
        height += table->verticalHeader()->defaultSectionSize();
    table->setFixedHeight(height);
}

// A label whose text a screen reader reads and hears change: its accessible
// name is its title and its text, set anew (which announces it) on every change.
void SetLiveText(QLabel* label, const QString& title, const QString& text, const QString& shown = QString())
{
    label->setText(shown.isEmpty() ? text : shown);
    const QString name =
        text.isEmpty() ? title : QCoreApplication::translate("CStepper", "%1：%2").arg(title, text);
    if (label->accessibleName() != name)
        label->setAccessibleName(name);
}

QString Bytes(const CColor& colour)
{
    const std::uint32_t c = colour.ToColorRef();
    return QStringLiteral("%1, %2, %3").arg(c & 0xFF).arg((c >> 8) & 0xFF).arg((c >> 16) & 0xFF);
}

} // namespace

CStepper::CStepper(COrboView& view, COrboDoc& doc, QWidget* parent)
    : QWidget(parent), m_view(view), m_pViewAlive(&view), m_doc(doc), m_nRow(CTorusRenderer::kAllRows)
{
    setWindowTitle(tr("逐步绘制"));
    setAccessibleName(tr("逐步绘制"));
    BuildControls();
    connect(&m_view, &COrboView::FramePainted, this, &CStepper::FramePainted);
    m_pSettingsTimer = new QTimer(this);
    connect(m_pSettingsTimer, &QTimer::timeout, this, &CStepper::FollowSettings);
    m_pPlayTimer = new QTimer(this);
    connect(m_pPlayTimer, &QTimer::timeout, this, &CStepper::PlayStep);
    SetPlayRate(kDefaultPlayRate);
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
    // One action for the button and the key: a shortcut in this panel, and
    // taken from the view's keys while the stepper runs (eventFilter).
    auto* action = new QAction(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)), text, this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    action->setToolTip(QStringLiteral("%1 (%2)").arg(name, key.toString(QKeySequence::NativeText)));
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    auto* button = new QToolButton(row);
    button->setDefaultAction(action);
    // The text under the icon keeps the panel narrow beside the picture.
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAccessibleName(name);
    button->setFocusPolicy(Qt::StrongFocus);
    row->layout()->addWidget(button);
    return button;
}

void CStepper::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    m_pHeading = new QLabel;
    QFont bold = m_pHeading->font();
    bold.setBold(true);
    m_pHeading->setFont(bold);
    m_pHeading->setWordWrap(true);
    layout->addWidget(m_pHeading);
    m_pCountLabel = new QLabel;
    m_pCountLabel->setWordWrap(true);
    layout->addWidget(m_pCountLabel);

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
    m_pSlider->setFocusPolicy(Qt::StrongFocus);
    connect(m_pSlider, &QSlider::valueChanged, this, [this](int value) {
        if (value != m_nFacet)
            SetFacet(value);
    });
    layout->addWidget(m_pSlider);

    auto* rowRow = new QWidget;
    rowRow->setLayout(new QHBoxLayout);
    rowRow->layout()->setContentsMargins(0, 0, 0, 0);
    m_pPrevRow = AddButton(rowRow, tr("上一条扫描线"), tr("上一条扫描线"), QKeySequence(Qt::Key_Down),
                           QStyle::SP_ArrowDown, &CStepper::PreviousRow);
    m_pNextRow = AddButton(rowRow, tr("下一条扫描线"), tr("下一条扫描线"), QKeySequence(Qt::Key_Up),
                           QStyle::SP_ArrowUp, &CStepper::NextRow);
    static_cast<QHBoxLayout*>(rowRow->layout())->addStretch(1);
    layout->addWidget(rowRow);

    auto* playRow = new QWidget;
    playRow->setLayout(new QHBoxLayout);
    playRow->layout()->setContentsMargins(0, 0, 0, 0);
    BuildPlayControls(playRow);
    layout->addWidget(playRow);

    // Where the walk stands and what its depth tests gave first, then the tables.
    m_pRowLabel = new QLabel;
    m_pRowLabel->setWordWrap(true);
    layout->addWidget(m_pRowLabel);
    m_pDepthLabel = new QLabel;
    m_pDepthLabel->setTextFormat(Qt::RichText);
    m_pDepthLabel->setWordWrap(true);
    layout->addWidget(m_pDepthLabel);
    m_pColumnNote = new QLabel;
    m_pColumnNote->setWordWrap(true);
    layout->addWidget(m_pColumnNote);
    m_pCornersLabel = new QLabel;
    m_pCornersLabel->setWordWrap(true);
    layout->addWidget(m_pCornersLabel);
    m_pCorners = MakeTable(tr("面片的角点"));
    layout->addWidget(m_pCorners);
    m_pEdges = MakeTable(tr("活动边表"));
    layout->addWidget(m_pEdges);
    layout->addStretch(1);
}

void CStepper::BuildPlayControls(QWidget* row)
{
    m_pPlay = AddButton(row, tr("播放"), tr("播放或暂停"), QKeySequence(Qt::Key_P), QStyle::SP_MediaPlay,
                        &CStepper::TogglePlay);
    m_pPlay->defaultAction()->setCheckable(true);
    m_pPlayUnit = new QComboBox;
    m_pPlayUnit->addItem(tr("按面片"));
    m_pPlayUnit->addItem(tr("按扫描线"));
    m_pPlayUnit->setAccessibleName(tr("播放的步长"));
    connect(m_pPlayUnit, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_playUnit = index == 1 ? EPlayUnit::Scanlines : EPlayUnit::Facets; });
    row->layout()->addWidget(m_pPlayUnit);
    m_pPlayRate = new QSpinBox;
    m_pPlayRate->setRange(1, kMaxPlayRate);
    m_pPlayRate->setSuffix(tr(" 步/秒"));
    m_pPlayRate->setAccessibleName(tr("每秒的步数"));
    connect(m_pPlayRate, &QSpinBox::valueChanged, this, &CStepper::SetPlayRate);
    row->layout()->addWidget(m_pPlayRate);
    static_cast<QHBoxLayout*>(row->layout())->addStretch(1);
}

// The stepper's keys pressed in the view step as they do in this panel.
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
    m_view.SetKeysDescription(tr("逐步绘制：← → 上一个、下一个面片，Home、End 第一个、最后一个面片，"
                                 "↑ ↓ 下一条、上一条扫描线，P 播放或暂停；Shift 加方向键移动所查看的像素"));
    m_pSettingsTimer->start(kSettingsPollMs);
    Apply();
}

void CStepper::Stop()
{
    if (!m_bRunning)
        return;
    m_bRunning = false;
    Play(false);
    m_pSettingsTimer->stop();
    m_view.removeEventFilter(this);
    CTorusRenderer& renderer = m_view.Renderer();
    renderer.SetFacetLimit(CTorusRenderer::kAllFacets);
    renderer.SetRowLimit(CTorusRenderer::kAllRows);
    renderer.SetScanlineProbe(nullptr);
    m_probe.Clear();
    m_view.SetOverlay(nullptr);
    m_view.SetKeysDescription(QString());
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

void CStepper::ShowScanline(int n, int y)
{
    int yLow = 0, yHigh = 0;
    m_nFacet = std::clamp(n, 0, Count());
    m_nRow =
        Filled() && FacetRows(m_nFacet, yLow, yHigh) && y >= yLow && y < yHigh ? y : CTorusRenderer::kAllRows;
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

void CStepper::Play(bool on)
{
    if (on && m_bRunning && m_nFacet >= Count() && m_nRow == CTorusRenderer::kAllRows)
        SetFacet(0); // played to the end: from the start again
    if (on && m_bRunning)
        m_pPlayTimer->start();
    else
        m_pPlayTimer->stop();
    QAction* action = m_pPlay->defaultAction();
    action->setChecked(Playing());
    action->setText(Playing() ? tr("暂停") : tr("播放"));
    action->setIcon(style()->standardIcon(Playing() ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

bool CStepper::Playing() const
{
    return m_pPlayTimer->isActive();
}

void CStepper::SetPlayRate(int stepsPerSecond)
{
    stepsPerSecond = std::clamp(stepsPerSecond, 1, kMaxPlayRate);
    m_pPlayTimer->setInterval(1000 / stepsPerSecond);
    if (m_pPlayRate->value() != stepsPerSecond)
        m_pPlayRate->setValue(stepsPerSecond);
}

void CStepper::SetPlayUnit(EPlayUnit unit)
{
    m_pPlayUnit->setCurrentIndex(unit == EPlayUnit::Scanlines ? 1 : 0);
}

void CStepper::PlayStep()
{
    if (m_nFacet >= Count() && m_nRow == CTorusRenderer::kAllRows) {
        Play(false); // the frame is whole
        return;
    }
    if (m_playUnit == EPlayUnit::Scanlines)
        StepRow(1);
    else
        StepFacet(1);
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
    SetLiveText(m_pHeading, tr("当前面片"), status);
    const CTorusRenderer& renderer = m_view.Renderer();
    const int all = renderer.SurfaceSteps() * renderer.SectionSteps();
    SetLiveText(m_pCountLabel, tr("面片数"),
                tr("%1 个面片中有 %2 个朝向视点，按 i、j 的顺序逐个绘制；背向视点的 %3 个不画。")
                    .arg(all)
                    .arg(count)
                    .arg(all - count));
    m_pPrevRow->defaultAction()->setEnabled(Filled());
    m_pNextRow->defaultAction()->setEnabled(Filled());

    const bool hasFacet = m_nFacet > 0 && m_nFacet <= count;
    const bool onRow = m_nRow != CTorusRenderer::kAllRows;
    UpdateCorners(hasFacet);
    UpdateRowText(hasFacet, onRow);
    UpdateEdgeTable(onRow);
    emit StatusChanged(status);
}

// The current facet's corners: screen position, depth, and what the drawing
// interpolates between them.
void CStepper::UpdateCorners(bool hasFacet)
{
    const SPixelFacts::EDrawing drawing = m_view.Renderer().Drawing();
    const bool colours = drawing == SPixelFacts::kLines || drawing == SPixelFacts::kGouraud;
    const bool normals = drawing == SPixelFacts::kPhong || drawing == SPixelFacts::kLitTexture;
    const bool texels = drawing == SPixelFacts::kTexture || drawing == SPixelFacts::kLitTexture;
    QStringList headers = {tr("x"), tr("y"), tr("深度")};
    if (colours)
        headers << tr("颜色（插值）");
    if (normals)
        headers << tr("法向量（插值）");
    if (texels)
        headers << tr("纹理坐标 u, v（插值）");
    std::vector<QStringList> rows;
    if (hasFacet) {
        const SDrawnFacet& facet = m_view.Renderer().DrawnFacet(m_nFacet - 1);
        for (const CFillVertex& corner : facet.corners) {
            const CScreenPointZ& p = corner.m_position;
            QStringList cells = {QString::number(p.x, 'f', 3), QString::number(p.y),
                                 QString::number(p.z, 'f', 3)};
            if (colours)
                cells << Bytes(p.colour);
            if (normals)
                cells << QStringLiteral("%1, %2, %3")
                             .arg(corner.m_normal.x, 0, 'f', 1)
                             .arg(corner.m_normal.y, 0, 'f', 1)
                             .arg(corner.m_normal.z, 0, 'f', 1);
            if (texels)
                cells << QStringLiteral("%1, %2")
                             .arg(corner.m_texCoord.x, 0, 'f', 2)
                             .arg(corner.m_texCoord.y, 0, 'f', 2);
            rows.push_back(cells);
        }
    }
    SetRows(m_pCorners, headers, rows);
    SetLiveText(m_pCornersLabel, tr("角点"),
                hasFacet ? tr("面片 (i, j)：i 是绕圆环轴的第几步，j 是绕截面的第几步，都从 0 数起。"
                              "角点按 0–3 编号，画面上标在角点旁；深度越大越近。")
                         : QString());
}

// Where the walk stands in the current facet, in words.
void CStepper::UpdateRowText(bool hasFacet, bool onRow)
{
    int yLow = 0, yHigh = 0;
    const bool rows = hasFacet && Filled() && FacetRows(m_nFacet, yLow, yHigh);
    QString text;
    if (!Filled())
        text = tr("线框按面片逐步绘制，没有扫描线。");
    else if (!hasFacet)
        text = tr("还没有绘制面片。");
    else if (!onRow)
        text = rows ? tr("整个面片（扫描线 y = %1 … %2）").arg(yLow).arg(yHigh - 1)
                    : tr("整个面片（没有扫描线）");
    else if (!m_probe.m_bReached)
        text = tr("扫描线 y = %1（第 %2 / %3 行）：不在图像内，未填充")
                   .arg(m_nRow)
                   .arg(m_nRow - yLow + 1)
                   .arg(yHigh - yLow);
    else
        text = tr("扫描线 y = %1（第 %2 / %3 行）").arg(m_nRow).arg(m_nRow - yLow + 1).arg(yHigh - yLow);
    SetLiveText(m_pRowLabel, tr("扫描线"), text);
}

// The active edges as the fill's walk held them on the current row, and its depth tests.
void CStepper::UpdateEdgeTable(bool onRow)
{
    const bool probed = onRow && m_probe.m_bReached;
    std::vector<QStringList> rows;
    if (probed)
        for (const SScanlineProbe::SEdge& e : m_probe.m_edges)
            rows.push_back(
                {QString::number(e.x, 'f', 4), QString::number(e.dx, 'f', 4), QString::number(e.yMax - 1)});
    SetRows(m_pEdges, {tr("x"), tr("每行步长"), tr("末行")}, rows);
    QString note;
    if (probed) {
        const auto passed = std::count_if(m_probe.m_samples.begin(), m_probe.m_samples.end(),
                                          [](const SScanlineProbe::SSample& s) { return s.passed; });
        const auto failed = static_cast<qsizetype>(m_probe.m_samples.size()) - passed;
        SetLiveText(m_pDepthLabel, tr("深度测试"),
                    tr("通过 %1，未通过 %2（样本的深度不小于该格已存的深度才通过；空白格存的是 -1000）")
                        .arg(passed)
                        .arg(failed),
                    tr("深度测试：<span style=\"color:%1\">■</span> 通过 %2　"
                       "<span style=\"color:%3\">■</span> 未通过 %4<br>样本的深度不小于该格已存的深度才通过；"
                       "空白格存的是 -1000。")
                        .arg(kPassed.darker(130).name())
                        .arg(passed)
                        .arg(kFailed.name())
                        .arg(failed));
        // Columns that took more than one sample: the drawing's rule, made plain.
        std::map<int, int> perColumn;
        for (const SScanlineProbe::SSample& s : m_probe.m_samples)
            ++perColumn[s.px];
        for (const auto& [column, samples] : perColumn)
            if (samples > 1) {
                note = column == 0
                           ? tr("第 0 列落了 %1 个样本：样本的列号是 x + 0.5 向零截断，x 在 -1.5 与 0.5 "
                                "之间都落在第 0 列。它们的标记上下叠放。")
                                 .arg(samples)
                           : tr("第 %1 列落了 %2 个样本：两段跨度在这一列相接。它们的标记上下叠放。")
                                 .arg(column)
                                 .arg(samples);
                break;
            }
    } else {
        const QString hint = onRow || !Filled() ? QString() : tr("按 ↑ 逐条扫描线填充当前面片。");
        SetLiveText(m_pDepthLabel, tr("深度测试"), hint);
    }
    SetLiveText(m_pColumnNote, tr("列号"), note);
    m_pColumnNote->setVisible(!note.isEmpty());
}

std::vector<int> CStepper::MarkLevels() const
{
    std::vector<int> levels;
    std::map<int, int> perColumn;
    for (const SScanlineProbe::SSample& s : m_probe.m_samples)
        levels.push_back(perColumn[s.px]++);
    return levels;
}

QPoint CStepper::SampleMark(const CPixelSink& frame, std::size_t k) const
{
    const CPixelMapping mapping = frame.Mapping();
    const SScanlineProbe::SSample& s = m_probe.m_samples[k];
    const int level = MarkLevels()[k];
    return QPoint(
        static_cast<int>(mapping.Column(s.px)),
        static_cast<int>(mapping.Row(m_probe.m_nY + kMarksFrom + kMarkRows * level + kMarkRows - 1)));
}

void CStepper::PaintOutline(QPainter& painter, const CPixelSink& frame) const
{
    // Logical x of a pixel's centre is its column: logical (0, 0) is the centre
    // of the device pixel of the origin.
    const CPixelMapping mapping = frame.Mapping();
    const double left = static_cast<double>(mapping.Column(0)) + 0.5;
    const double top = static_cast<double>(mapping.Row(0)) + 0.5;
    auto at = [&](double x, double y) { return QPointF(left + x, top - y); };

    const SDrawnFacet& facet = m_view.Renderer().DrawnFacet(m_nFacet - 1);
    QPainterPath outline;
    QPointF centre;
    outline.moveTo(at(facet.corners[0].m_position.x, facet.corners[0].m_position.y));
    for (int c = 1; c <= CFacet::kCorners; ++c) {
        const CScreenPointZ& p = facet.corners[c % CFacet::kCorners].m_position;
        outline.lineTo(at(p.x, p.y));
        centre += at(p.x, p.y) / CFacet::kCorners;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kShade, 3.0));
    painter.drawPath(outline);
    painter.setPen(QPen(kOutline, 1.0));
    painter.drawPath(outline);

    // The corners' numbers, outside the facet beside each corner, each moved
    // further out until it covers no number placed before it.
    QFont font = painter.font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    QRectF placed[CFacet::kCorners];
    for (int c = 0; c < CFacet::kCorners; ++c) {
        const CScreenPointZ& p = facet.corners[c].m_position;
        const QPointF corner = at(p.x, p.y);
        QPointF away = corner - centre;
        const double length = std::hypot(away.x(), away.y());
        away = length > 0.5 ? away / length : QPointF(0.0, -1.0);
        QRectF box;
        for (double distance = 8.0; distance < 80.0; distance += 2.0) {
            box = QRectF(corner + away * distance - QPointF(5.0, 6.0), QSizeF(10.0, 12.0));
            if (std::none_of(placed, placed + c, [&](const QRectF& other) { return other.intersects(box); }))
                break;
        }
        placed[c] = box;
        painter.fillRect(box, kShade);
        painter.setPen(kOutline);
        painter.drawText(box, Qt::AlignCenter, QString::number(c));
    }
}

// Over the frame, never into it, in the frame's pixels.
void CStepper::PaintOverlay(QPainter& painter, const CPixelSink& frame) const
{
    if (!m_bRunning || m_nFacet < 1 || m_nFacet > Count() || frame.Width() == 0 || frame.Height() == 0)
        return;
    painter.save();
    PaintOutline(painter, frame);
    if (m_nRow != CTorusRenderer::kAllRows && m_probe.m_bReached) {
        const CPixelMapping mapping = frame.Mapping();
        const double left = static_cast<double>(mapping.Column(0)) + 0.5;
        const double top = static_cast<double>(mapping.Row(0));
        const int y = m_probe.m_nY;
        const std::vector<int> levels = MarkLevels();
        const int stacked = levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end()) + 1;
        // The edges' marks: beside the row, never over a sample's mark. A mark
        // spanning rows a .. b (logical, a < b) covers device y from top - b to top - a + 1.
        const auto edgeMark = [&](double x, int a, int b) {
            const QLineF line(left + x, top - b, left + x, top - a + 1);
            QPen shade(kShade, 3.0);
            shade.setCapStyle(Qt::FlatCap);
            painter.setPen(shade);
            painter.drawLine(line);
            QPen mark(kEdgeMark, 1.0);
            mark.setCapStyle(Qt::FlatCap);
            painter.setPen(mark);
            painter.drawLine(line);
        };
        painter.setRenderHint(QPainter::Antialiasing);
        const int above = y + kMarksFrom + kMarkRows * stacked + kEdgeGap;
        for (const SScanlineProbe::SEdge& e : m_probe.m_edges) {
            edgeMark(e.x, above, above + kEdgeLength - 1);
            edgeMark(e.x, y - kEdgeGap - kEdgeLength + 1, y - kEdgeGap);
        }
        // The samples' marks last, on top of everything: one pixel wide, two
        // rows high, one above the other where samples share a column.
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (std::size_t k = 0; k < m_probe.m_samples.size(); ++k) {
            const SScanlineProbe::SSample& s = m_probe.m_samples[k];
            const int low = y + kMarksFrom + kMarkRows * levels[k];
            painter.fillRect(QRectF(static_cast<double>(mapping.Column(s.px)), top - (low + kMarkRows - 1),
                                    1.0, kMarkRows),
                             s.passed ? kPassed : kFailed);
        }
    }
    painter.restore();
}
