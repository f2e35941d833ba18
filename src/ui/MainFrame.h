#pragma once

#include <QMainWindow>

class CLeftPortion;
class COrboDoc;
class COrboView;
class QAction;
class QLabel;
class QSplitter;
class QTimer;
class QToolBar;

// The main window: menu, toolbar and status bar around a splitter with the
// control panel on the left and the rendering view on the right. It owns the
// play flag of the animation, which the view reads on every tick.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(COrboDoc& doc, QWidget* parent = nullptr);

    // The panes' initial updates: the panel's set-up, then the view's texture and
    // camera. Called once, before the window is shown.
    void InitialUpdate();

    bool IsPlaying() const { return m_bPlay != 0; }

    // The animation command: flips the play flag.
    void OnAnimation();

    CLeftPortion* LeftPortion() const { return m_pLeftPortion; }
    COrboView* View() const { return m_pView; }
    QSplitter* Splitter() const { return m_pSplitter; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    QAction* ExitAction() const { return m_pExitAction; }
    QAction* AnimationAction() const { return m_pAnimationAction; }
    QAction* AboutAction() const { return m_pAboutAction; }

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateClient(COrboDoc& doc);
    void UpdateAnimationCommand();
    void UpdateKeyIndicators();

    int m_bPlay = 1; // the animation runs from the start
    QToolBar* m_pToolBar = nullptr;
    QSplitter* m_pSplitter = nullptr;
    CLeftPortion* m_pLeftPortion = nullptr;
    COrboView* m_pView = nullptr;
    QAction* m_pExitAction = nullptr;
    QAction* m_pAnimationAction = nullptr;
    QAction* m_pAboutAction = nullptr;
    QLabel* m_pCapsIndicator = nullptr;
    QLabel* m_pNumIndicator = nullptr;
    QLabel* m_pScrollIndicator = nullptr;
    QTimer* m_pKeyTimer = nullptr;
};
