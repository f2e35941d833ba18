#pragma once

#include "ui/Language.h"

#include <QString>

#include <memory>

class CMainFrame;
class COrboDoc;

// The program: creates the document and the main window with its two panes,
// runs their initial updates and shows the window. The Qt application object
// must exist first; its event loop runs the program afterwards.
class COrboApp
{
public:
    static const QString kAppName;     // the application's name and message title
    static const QString kWindowTitle; // the main window's title

    // The window speaks language (Chinese unless the user asked for English).
    explicit COrboApp(ELanguage language = ELanguage::Chinese);
    ~COrboApp();

    // Returns false when the program cannot start.
    bool InitInstance();

    void OnAppAbout();

    COrboDoc* Document() const { return m_pDoc.get(); }
    CMainFrame* MainFrame() const { return m_pFrame.get(); }

private:
    ELanguage m_language;
    // The view refers to the document: the frame is destroyed first.
    std::unique_ptr<COrboDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
};
