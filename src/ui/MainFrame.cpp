#include "ui/MainFrame.h"

#include "ui/Accessibility.h"
#include "ui/InspectorPanel.h"
#include "ui/KeyLocks.h"
#include "ui/LeftPortion.h"
#include "ui/Magnifier.h"
#include "ui/OrboView.h"
#include "ui/Resources.h"
#include "ui/Stepper.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <memory>

namespace {

constexpr int kPanelWidth = CLeftPortion::kWidth;
constexpr int kViewWidth = ViewSize::kWidth;
constexpr int kPaneHeight = ViewSize::kHeight;
// How often the lock indicators look at the keyboard.
constexpr int kKeyPollMs = 250;
// The narrowest the stepper's and the inspector's panels are made to give the view room.
constexpr int kNarrowestDock = 300;
// The frame time pane changes at most four times a second: readable, not flickering.
constexpr int kFrameTimeUpdateMs = 250;

// A sunken status-bar pane wide enough for its text, which shows only while the
// lock is on.
QLabel* MakeIndicator(const QString& text)
{
    auto* label = new QLabel;
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setProperty("indicatorText", text);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) +
                           2 * label->fontMetrics().averageCharWidth());
    return label;
}

void ShowIndicator(QLabel* label, bool on)
{
    label->setText(on ? label->property("indicatorText").toString() : QString());
}

} // namespace

CMainFrame::CMainFrame(COrboDoc& doc, QWidget* parent) : QMainWindow(parent), m_pDoc(&doc)
{
    InitOrboResources();
    InstallAccessibleRoles();
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateClient(doc);
    UpdateAnimationCommand();
    // Space and Enter are seen before any shortcut: see eventFilter.
    qApp->installEventFilter(this);
    // Opened at a size that gives both panes theirs; the splitter's own hint
    // leaves the bar between them out.
    const QSize panes(kPanelWidth + m_pSplitter->handleWidth() + kViewWidth, kPaneHeight);
    resize(sizeHint() + (panes - m_pSplitter->sizeHint()).expandedTo(QSize(0, 0)));
}

void CMainFrame::CreateActions()
{
    m_pExitAction = new QAction(QIcon(QStringLiteral(":/orbo/exit.png")), tr("退出(&X)"), this);
    m_pExitAction->setShortcut(QKeySequence::Quit);
    m_pExitAction->setStatusTip(tr("退出应用程序"));
    m_pExitAction->setToolTip(tr("退出"));
    connect(m_pExitAction, &QAction::triggered, this, &QWidget::close);

    m_pAnimationAction = new QAction(QIcon(QStringLiteral(":/orbo/animation.png")), tr("动画"), this);
    m_pAnimationAction->setCheckable(true);
    // Space plays and stops, as the toolbar button does (a focused control that
    // takes Space keeps it for itself, see eventFilter).
    m_pAnimationAction->setShortcut(QKeySequence(Qt::Key_Space));
    m_pAnimationAction->setToolTip(tr("动画"));
    connect(m_pAnimationAction, &QAction::triggered, this, &CMainFrame::OnAnimation);

    // The application connects the About command: the box belongs to it.
    m_pAboutAction = new QAction(QIcon(QStringLiteral(":/orbo/about.png")), tr("关于 Orbo(&A)…"), this);
    m_pAboutAction->setStatusTip(tr("显示程序信息和版本号"));
    m_pAboutAction->setToolTip(tr("关于"));

    // The menus show check marks and text only; the pictures are the toolbar's.
    for (QAction* action : {m_pExitAction, m_pAnimationAction, m_pAboutAction})
        action->setIconVisibleInMenu(false);

    CreateToolActions();

    // Accelerators without a menu item: they belong to the window itself.
    auto* nextPane = new QAction(this);
    nextPane->setShortcut(QKeySequence(Qt::Key_F6));
    connect(nextPane, &QAction::triggered, this, &CMainFrame::OnNextPane);
    auto* prevPane = new QAction(this);
    prevPane->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(prevPane, &QAction::triggered, this, &CMainFrame::OnPrevPane);
    addAction(nextPane);
    addAction(prevPane);
}

// The picture commands and the tools of the 文件 and 绘图 menus.
void CMainFrame::CreateToolActions()
{
    m_pSavePictureAction = new QAction(tr("保存图片(&S)…"), this);
    m_pSavePictureAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_pSavePictureAction->setStatusTip(tr("将当前画面保存为 PNG 图片"));
    connect(m_pSavePictureAction, &QAction::triggered, this, [this] { m_pView->OnSavePicture(); });

    m_pCopyPictureAction = new QAction(tr("复制图片(&C)"), this);
    m_pCopyPictureAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    m_pCopyPictureAction->setStatusTip(tr("将当前画面复制到剪贴板"));
    connect(m_pCopyPictureAction, &QAction::triggered, this, [this] { m_pView->OnCopyPicture(); });

    m_pInspectAction = new QAction(tr("像素检查(&I)"), this);
    m_pInspectAction->setCheckable(true);
    m_pInspectAction->setStatusTip(
        tr("在面板中显示光标下像素的坐标、颜色、深度、来源和历史；不选时按住 Shift 也可查看"));
    connect(m_pInspectAction, &QAction::toggled, this, &CMainFrame::ShowInspector);

    m_pMagnifierAction = new QAction(tr("放大镜(&M)"), this);
    m_pMagnifierAction->setCheckable(true);
    m_pMagnifierAction->setStatusTip(tr("在小窗口中放大光标周围的像素；滚动鼠标滚轮改变倍数"));
    connect(m_pMagnifierAction, &QAction::toggled, this, &CMainFrame::ShowMagnifier);

    m_pStepperAction = new QAction(tr("逐步绘制(&B)"), this);
    m_pStepperAction->setCheckable(true);
    m_pStepperAction->setShortcut(QKeySequence(Qt::Key_F8));
    m_pStepperAction->setStatusTip(tr("停止动画，按面片和扫描线逐步查看画面的绘制过程"));
    connect(m_pStepperAction, &QAction::toggled, this, &CMainFrame::ShowStepper);

    m_pDepthAction = new QAction(tr("深度缓冲(&Z)"), this);
    m_pDepthAction->setCheckable(true);
    m_pDepthAction->setShortcut(QKeySequence(Qt::Key_F7));
    m_pDepthAction->setStatusTip(tr("画面显示每一帧的深度缓冲：灰度表示深度，越近越亮"));
    connect(m_pDepthAction, &QAction::toggled, this, [this](bool on) { m_pView->SetDepthView(on); });
}

void CMainFrame::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(tr("文件(&F)"));
    file->addAction(m_pSavePictureAction);
    file->addAction(m_pCopyPictureAction);
    file->addSeparator();
    file->addAction(m_pExitAction);

    QMenu* draw = menuBar()->addMenu(tr("绘图(&D)"));
    draw->addAction(m_pAnimationAction);
    draw->addSeparator();
    draw->addAction(m_pInspectAction);
    draw->addAction(m_pMagnifierAction);
    draw->addAction(m_pStepperAction);
    draw->addAction(m_pDepthAction);

    QMenu* help = menuBar()->addMenu(tr("帮助(&H)"));
    help->addAction(m_pAboutAction);
    CreateLanguageMenu(help);
}

// Each language is named in its own words, so that a reader of either finds
// it. The window takes the choice when it starts next; the menu says so.
void CMainFrame::CreateLanguageMenu(QMenu* help)
{
    QMenu* languages = help->addMenu(tr("语言 Language(&L)"));
    auto* group = new QActionGroup(this);
    m_pEnglishAction = languages->addAction(QStringLiteral("English"));
    m_pChineseAction = languages->addAction(QStringLiteral("中文"));
    for (QAction* action : {m_pEnglishAction, m_pChineseAction}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    m_chosenLanguage = WindowLanguage();
    LanguageAction(m_chosenLanguage)->setChecked(true);
    connect(m_pEnglishAction, &QAction::triggered, this, [this] { OnChooseLanguage(ELanguage::English); });
    connect(m_pChineseAction, &QAction::triggered, this, [this] { OnChooseLanguage(ELanguage::Chinese); });
    languages->addSeparator();
    // In both languages: the reader may know only the one just chosen.
    QAction* note =
        languages->addAction(QStringLiteral("重新启动 Orbo 后生效 · Takes effect when Orbo starts again"));
    note->setObjectName(QStringLiteral("restartNote"));
    note->setEnabled(false);
}

// The menu shows the language of the next start: a choice that cannot be kept
// leaves the check mark where it was, and a message says why.
void CMainFrame::OnChooseLanguage(ELanguage language)
{
    const std::unique_ptr<QSettings> settings = OpenSettings();
    if (settings && SaveLanguage(*settings, language)) {
        m_chosenLanguage = language;
        LanguageAction(language)->setChecked(true);
        return;
    }
    LanguageAction(m_chosenLanguage)->setChecked(true);
    const QString path = QDir::toNativeSeparators(SettingsPath());
    m_pView->ShowMessage(settings ? tr("语言选择无法保存：无法写入设置文件 %1").arg(path)
                                  : tr("语言选择无法保存：设置文件 %1 不是普通文件").arg(path));
}

void CMainFrame::CreateToolBar()
{
    m_pToolBar = addToolBar(tr("工具栏"));
    m_pToolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_pToolBar->setIconSize(QSize(32, 32));
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_pToolBar->setMovable(true);
    m_pToolBar->setFloatable(true);
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_pToolBar->addAction(m_pExitAction);
    m_pToolBar->addAction(m_pAnimationAction);
    m_pToolBar->addAction(m_pAboutAction);
}

void CMainFrame::CreateStatusBar()
{
    // The idle message is an ordinary pane: prompts of menu items and toolbar
    // buttons cover it while they show.
    m_pMessagePane = new QLabel(tr("就绪"));
    m_pMessagePane->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(m_pMessagePane, 1);
    // The inspector's facts for the pixel under the cursor, while it shows.
    m_pInspectPane = new QLabel;
    m_pInspectPane->setTextFormat(Qt::PlainText);
    m_pInspectPane->hide();
    statusBar()->addWidget(m_pInspectPane);
    // Where the stepper stands, while it runs.
    m_pStepperPane = new QLabel;
    m_pStepperPane->setTextFormat(Qt::PlainText);
    m_pStepperPane->setAccessibleName(tr("逐步绘制"));
    m_pStepperPane->hide();
    statusBar()->addWidget(m_pStepperPane);
    // Render time of the last frame and the rate reached, wide enough for any
    // value not to make the panes beside it jump.
    m_pFrameTimePane = new QLabel;
    m_pFrameTimePane->setAlignment(Qt::AlignCenter);
    m_pFrameTimePane->setMinimumWidth(
        m_pFrameTimePane->fontMetrics().horizontalAdvance(QStringLiteral("9999.9 ms · 999 fps")) +
        2 * m_pFrameTimePane->fontMetrics().averageCharWidth());
    statusBar()->addPermanentWidget(m_pFrameTimePane);
    m_pCapsIndicator = MakeIndicator(tr("大写"));
    m_pNumIndicator = MakeIndicator(tr("数字"));
    m_pScrollIndicator = MakeIndicator(tr("滚动"));
    statusBar()->addPermanentWidget(m_pCapsIndicator);
    statusBar()->addPermanentWidget(m_pNumIndicator);
    statusBar()->addPermanentWidget(m_pScrollIndicator);

    // Lock keys change while other programs have the keyboard too, so the state
    // is polled; only where the windowing system reports it.
    if (QueryKeyLocks().bKnown) {
        m_pKeyTimer = new QTimer(this);
        connect(m_pKeyTimer, &QTimer::timeout, this, &CMainFrame::UpdateKeyIndicators);
        m_pKeyTimer->start(kKeyPollMs);
        UpdateKeyIndicators();
    }
}

void CMainFrame::UpdateFrameTime()
{
    m_pFrameTimePane->setText(m_pView->FrameClock().Text(CFrameClock::Clock::now()));
}

void CMainFrame::CreateClient(COrboDoc& doc)
{
    m_pSplitter = new QSplitter(Qt::Horizontal, this);
    m_pSplitter->setChildrenCollapsible(false);
    m_pLeftPortion = new CLeftPortion(doc, m_pSplitter);
    m_pView = new COrboView(
        doc, [this] { return IsPlaying(); }, m_pSplitter);
    m_pSplitter->addWidget(m_pLeftPortion);
    m_pSplitter->addWidget(m_pView);
    // A larger window gives its extra width to the view; the panel keeps its own.
    m_pSplitter->setStretchFactor(0, 0);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setSizes({kPanelWidth, kViewWidth});
    setCentralWidget(m_pSplitter);
    // While texture mode has no texels the idle message gives way to a note that
    // says so and names the file; while frames cannot be drawn, to why.
    connect(m_pView, &COrboView::FramePainted, this, [this, idle = m_pMessagePane->text()] {
        const QString missing = m_pView->MissingTextureText();
        const QString& failure = m_pView->RenderFailureText();
        const QString text = !failure.isEmpty() ? failure : missing.isEmpty() ? idle : missing;
        if (m_pMessagePane->text() != text)
            m_pMessagePane->setText(text);
    });
    connect(m_pView, &COrboView::InspectionChanged, this, [this](const QString& facts) {
        m_pInspectPane->setText(facts);
        m_pInspectPane->setVisible(!facts.isEmpty());
    });

    m_pFrameTimeTimer = new QTimer(this);
    connect(m_pFrameTimeTimer, &QTimer::timeout, this, &CMainFrame::UpdateFrameTime);
    m_pFrameTimeTimer->start(kFrameTimeUpdateMs);
}

void CMainFrame::InitialUpdate()
{
    m_pLeftPortion->OnInitialUpdate();
    m_pView->OnInitialUpdate();
}

void CMainFrame::OnAnimation()
{
    m_bPlay = m_bPlay ? 0 : 1;
    UpdateAnimationCommand();
    // Playing shows whole frames again.
    if (IsPlaying())
        m_pStepperAction->setChecked(false);
}

// A panel docked on the right of the view, in a scroll area so that a small
// screen can still reach all of it. Closing it clears its command's check mark.
QDockWidget* CMainFrame::MakeDock(const QString& title, const QString& name, QWidget* content)
{
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(name);
    dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    dock->setWidget(scroll);
    dock->installEventFilter(this);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    return dock;
}

// Stepping stops the animation and shows the frame before its first facet;
// closing gives the view its whole frames back and leaves the animation stopped.
void CMainFrame::ShowStepper(bool show)
{
    const bool appears = show && (!m_pStepperDock || m_pStepperDock->isHidden());
    if (!m_pStepper) {
        if (!show)
            return;
        m_pStepper = new CStepper(*m_pView, *m_pDoc);
        connect(m_pStepper, &CStepper::StatusChanged, this, [this](const QString& text) {
            m_pStepperPane->setText(text);
            // Its name is read, and heard to change: the title and the text.
            m_pStepperPane->setAccessibleName(text.isEmpty() ? tr("逐步绘制") : tr("逐步绘制：%1").arg(text));
            m_pStepperPane->setVisible(!text.isEmpty());
        });
        m_pStepperDock = MakeDock(tr("逐步绘制"), QStringLiteral("stepperDock"), m_pStepper);
        if (m_pInspectorDock)
            StackDocks();
    }
    if (show) {
        if (IsPlaying())
            OnAnimation();
        m_pStepper->Start();
        if (appears)
            MakeRoomFor(m_pStepperDock);
    } else {
        m_pStepper->Stop();
    }
    m_pStepperDock->setVisible(show);
    // Its keys work in the view: the picture they step through.
    if (show)
        m_pView->setFocus(Qt::OtherFocusReason);
}

// The inspector's panel shows beside the view while the command is on.
void CMainFrame::ShowInspector(bool show)
{
    const bool appears = show && (!m_pInspectorDock || m_pInspectorDock->isHidden());
    m_pView->SetInspectCommand(show);
    if (!m_pInspector) {
        if (!show)
            return;
        m_pInspector = new CInspectorPanel(*m_pView);
        connect(m_pInspector, &CInspectorPanel::ShowSample, this, &CMainFrame::ShowSampleInStepper);
        m_pInspectorDock = MakeDock(tr("像素检查"), QStringLiteral("inspectorDock"), m_pInspector);
        if (m_pStepperDock)
            StackDocks();
    }
    if (appears)
        MakeRoomFor(m_pInspectorDock);
    m_pInspectorDock->setVisible(show);
}

// Both panels in one column beside the view, the stepper above: three fifths of
// the height for its controls and tables, the rest for the pixel's history.
void CMainFrame::StackDocks()
{
    splitDockWidget(m_pStepperDock, m_pInspectorDock, Qt::Vertical);
    resizeDocks({m_pStepperDock, m_pInspectorDock}, {3, 2}, Qt::Vertical);
}

// A window that is not maximised grows by what a dock appearing beside the
// view takes from it below its first width, as far as the screen allows: the
// picture keeps its size.
void CMainFrame::MakeRoomFor(QDockWidget* dock)
{
    const int taken = dock->sizeHint().width() - (m_pView->width() - kViewWidth);
    if (!isMaximized() && !isFullScreen() && isVisible() && taken > 0) {
        const QRect screen = this->screen()->availableGeometry();
        const int frame = frameGeometry().width() - width();
        const int wider = std::min(width() + taken, screen.width() - frame);
        if (wider > width()) {
            resize(wider, height());
            if (frameGeometry().right() > screen.right())
                move(std::max(screen.left(), screen.right() - frameGeometry().width() + 1), y());
        }
    }
    // On a narrow window the panels give way before the picture does: no
    // wider than the window leaves beside the view's first width, down to
    // what their texts need to stay readable.
    const int room = width() - kPanelWidth - kViewWidth;
    resizeDocks({dock}, {std::clamp(room, kNarrowestDock, dock->sizeHint().width())}, Qt::Horizontal);
}

void CMainFrame::ShowSampleInStepper(int order, int y)
{
    m_pStepperAction->setChecked(true);
    m_pStepper->ShowScanline(order + 1, y);
}

// The tool window is made on first use and kept: it opens again where the user
// left it, at the zoom chosen. Closing it clears the command's check mark.
void CMainFrame::ShowMagnifier(bool show)
{
    if (!m_pMagnifier) {
        if (!show)
            return;
        m_pMagnifier = new CMagnifier(*m_pView, this);
        m_pMagnifier->installEventFilter(this);
    }
    m_pMagnifier->setVisible(show);
}

bool CMainFrame::Owns(const QObject* object) const
{
    for (; object != nullptr; object = object->parent())
        if (object == this)
            return true;
    return false;
}

bool CMainFrame::TakesKey(QObject* watched, const QKeyEvent& key)
{
    if (watched != QApplication::focusWidget() || key.modifiers() != Qt::NoModifier)
        return false;
    if (key.key() == Qt::Key_Space)
        return qobject_cast<QAbstractButton*>(watched) || qobject_cast<QAbstractItemView*>(watched) ||
               qobject_cast<QComboBox*>(watched) || qobject_cast<QLineEdit*>(watched) ||
               qobject_cast<QAbstractSpinBox*>(watched);
    return false;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Close) {
        if (watched == m_pMagnifier)
            m_pMagnifierAction->setChecked(false);
        if (watched == m_pStepperDock)
            m_pStepperAction->setChecked(false);
        if (watched == m_pInspectorDock)
            m_pInspectAction->setChecked(false);
    }
    // A focused control that takes Space (a button, a list, a box) gets it
    // before the play command's shortcut does, as everywhere in Qt.
    if (type == QEvent::ShortcutOverride && TakesKey(watched, *static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    // Enter presses a focused button too (tool buttons take only Space).
    if (type == QEvent::KeyPress && watched == QApplication::focusWidget()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && Owns(button)) {
            button->animateClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnNextPane()
{
    FocusPane(1);
}

void CMainFrame::OnPrevPane()
{
    FocusPane(-1);
}

// From the pane that holds the focus (or from before the first when none does)
// step panes on, round the ends. The new pane's focus goes back to the control
// that had it last, else to its first control that takes the keyboard, else to
// the pane itself.
void CMainFrame::FocusPane(int step)
{
    const int count = m_pSplitter->count();
    if (count == 0)
        return;
    QWidget* focus = QApplication::focusWidget();
    int current = -1;
    for (int i = 0; i < count; ++i) {
        QWidget* pane = m_pSplitter->widget(i);
        if (focus && (focus == pane || pane->isAncestorOf(focus)))
            current = i;
    }
    const int next = current < 0 ? (step > 0 ? 0 : count - 1) : ((current + step) % count + count) % count;
    QWidget* pane = m_pSplitter->widget(next);

    auto canTakeFocus = [](QWidget* w) {
        return w && w->isEnabled() && w->isVisible() && (w->focusPolicy() & Qt::TabFocus);
    };
    QWidget* target = pane->focusWidget();
    if (!canTakeFocus(target)) {
        target = pane;
        for (QWidget* w = pane->nextInFocusChain(); w && w != pane; w = w->nextInFocusChain()) {
            if (pane->isAncestorOf(w) && canTakeFocus(w)) {
                target = w;
                break;
            }
        }
    }
    target->setFocus(Qt::OtherFocusReason);
}

// The command shows what choosing it does: "停止" while playing, "播放" while
// stopped; the check mark (and the toolbar button's pressed look) follow the flag.
void CMainFrame::UpdateAnimationCommand()
{
    m_pAnimationAction->setChecked(IsPlaying());
    m_pAnimationAction->setText(IsPlaying() ? tr("停止") : tr("播放"));
    m_pAnimationAction->setStatusTip(IsPlaying() ? tr("停止动画") : tr("播放动画"));
    m_pAnimationAction->setToolTip(tr("动画"));
}

void CMainFrame::UpdateKeyIndicators()
{
    const SKeyLocks locks = QueryKeyLocks();
    ShowIndicator(m_pCapsIndicator, locks.bCaps);
    ShowIndicator(m_pNumIndicator, locks.bNum);
    ShowIndicator(m_pScrollIndicator, locks.bScroll);
}
