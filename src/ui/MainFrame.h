#pragma once

#include "ui/Language.h"

#include <QMainWindow>

class CInspectorPanel;
class CLeftPortion;
class CMagnifier;
class CStepper;
class COrboDoc;
class COrboView;
class QAction;
class QDockWidget;
class QKeyEvent;
class QLabel;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;

// The main window: menu, toolbar and status bar around a splitter with the
// control panel on the left and the rendering view on the right; the stepper
// and the inspector's panel dock on the right of the view, beside it, never
// over it. It owns the play flag of the animation, which the view reads on
// every tick. Space plays and stops wherever the focus is on a control that
// does not take Space itself.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(COrboDoc& doc, QWidget* parent = nullptr);

    // The panes' initial updates: the panel's set-up, then the view's texture and
    // camera. Called once, before the window is shown.
    void InitialUpdate();

    bool IsPlaying() const { return m_bPlay != 0; }

    void OnAnimation();

    // F6 and Shift+F6: the keyboard focus moves to the next or previous pane of
    // the splitter, to the control that last had it there.
    void OnNextPane();
    void OnPrevPane();

    CLeftPortion* LeftPortion() const { return m_pLeftPortion; }
    COrboView* View() const { return m_pView; }
    QSplitter* Splitter() const { return m_pSplitter; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    QAction* ExitAction() const { return m_pExitAction; }
    QAction* AnimationAction() const { return m_pAnimationAction; }
    QAction* AboutAction() const { return m_pAboutAction; }
    // Help → Language: the choice for the next start, kept in the settings.
    QAction* LanguageAction(ELanguage language) const
    {
        return language == ELanguage::English ? m_pEnglishAction : m_pChineseAction;
    }
    void OnChooseLanguage(ELanguage language);
    QAction* SavePictureAction() const { return m_pSavePictureAction; }
    QAction* CopyPictureAction() const { return m_pCopyPictureAction; }
    QLabel* FrameTimePane() const { return m_pFrameTimePane; }
    QAction* InspectAction() const { return m_pInspectAction; }
    QAction* MagnifierAction() const { return m_pMagnifierAction; }
    // The pixel inspector's pane, shown while the inspector has something to say.
    QLabel* InspectPane() const { return m_pInspectPane; }
    // The first pane: the idle message, or why texture mode draws no texture.
    QLabel* MessagePane() const { return m_pMessagePane; }
    // The magnifier window, once the command has opened it.
    CMagnifier* Magnifier() const { return m_pMagnifier; }
    QAction* StepperAction() const { return m_pStepperAction; }
    // The stepper, once the command has opened it, its dock and its status pane.
    CStepper* Stepper() const { return m_pStepper; }
    QDockWidget* StepperDock() const { return m_pStepperDock; }
    QLabel* StepperPane() const { return m_pStepperPane; }
    // The inspector's panel and its dock, shown while the inspector command is on.
    CInspectorPanel* InspectorPanel() const { return m_pInspector; }
    QDockWidget* InspectorDock() const { return m_pInspectorDock; }
    QAction* DepthAction() const { return m_pDepthAction; }
    // Shows a sample of a pixel's history in the stepper, opening it.
    void ShowSampleInStepper(int order, int y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateToolActions();
    void CreateMenus();
    void CreateLanguageMenu(QMenu* help);
    void CreateToolBar();
    void CreateStatusBar();
    void CreateClient(COrboDoc& doc);
    void UpdateAnimationCommand();
    void UpdateKeyIndicators();
    void UpdateFrameTime();
    void FocusPane(int step);
    void ShowMagnifier(bool show);
    void ShowStepper(bool show);
    void ShowInspector(bool show);
    QDockWidget* MakeDock(const QString& title, const QString& name, QWidget* content);
    void MakeRoomFor(QDockWidget* dock);
    void StackDocks();
    // Whether the focus widget takes the key itself, before the window's shortcuts.
    static bool TakesKey(QObject* watched, const QKeyEvent& key);
    // Whether object is this window or lies inside it (its docks too, floating or not).
    bool Owns(const QObject* object) const;

    int m_bPlay = 1; // 1 playing, 0 stopped; the animation runs from the start
    ELanguage m_chosenLanguage = ELanguage::Chinese; // checked in the menu: the next start's
    QToolBar* m_pToolBar = nullptr;
    QSplitter* m_pSplitter = nullptr;
    CLeftPortion* m_pLeftPortion = nullptr;
    COrboView* m_pView = nullptr;
    QAction* m_pExitAction = nullptr;
    QAction* m_pAnimationAction = nullptr;
    QAction* m_pAboutAction = nullptr;
    QAction* m_pChineseAction = nullptr;
    QAction* m_pEnglishAction = nullptr;
    QAction* m_pSavePictureAction = nullptr;
    QAction* m_pCopyPictureAction = nullptr;
    QLabel* m_pFrameTimePane = nullptr;
    QAction* m_pInspectAction = nullptr;
    QAction* m_pMagnifierAction = nullptr;
    QLabel* m_pMessagePane = nullptr;
    QLabel* m_pInspectPane = nullptr;
    CMagnifier* m_pMagnifier = nullptr;
    COrboDoc* m_pDoc = nullptr;
    QAction* m_pStepperAction = nullptr;
    CStepper* m_pStepper = nullptr;
    QDockWidget* m_pStepperDock = nullptr;
    QLabel* m_pStepperPane = nullptr;
    CInspectorPanel* m_pInspector = nullptr;
    QDockWidget* m_pInspectorDock = nullptr;
    QAction* m_pDepthAction = nullptr;
    QLabel* m_pCapsIndicator = nullptr;
    QLabel* m_pNumIndicator = nullptr;
    QLabel* m_pScrollIndicator = nullptr;
    QTimer* m_pKeyTimer = nullptr;
    QTimer* m_pFrameTimeTimer = nullptr;
};
