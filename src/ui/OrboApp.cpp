#include "ui/OrboApp.h"

#include "ui/AboutBox.h"
#include "ui/MainFrame.h"
#include "ui/OrboDoc.h"
#include "ui/Resources.h"

#include <QAction>
#include <QApplication>
#include <QIcon>

const QString COrboApp::kAppName = QStringLiteral("Orbo");
const QString COrboApp::kWindowTitle = QStringLiteral("Quellim");

COrboApp::COrboApp(ELanguage language) : m_language(language)
{
}

COrboApp::~COrboApp() = default;

bool COrboApp::InitInstance()
{
    if (!qApp)
        return false;
    InitOrboResources();
    QCoreApplication::setApplicationName(kAppName);
    QGuiApplication::setDesktopFileName(QStringLiteral("orbo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/orbo/orbo.png")));

    // Every text of the program is Chinese, whatever the system's locale, unless
    // the user asked for English; Qt's own dialogs follow the same choice.
    InstallLanguage(m_language);

    m_pDoc = std::make_unique<COrboDoc>();
    m_pFrame = std::make_unique<CMainFrame>(*m_pDoc);
    QObject::connect(m_pFrame->AboutAction(), &QAction::triggered, m_pFrame.get(), [this] { OnAppAbout(); });
    m_pFrame->InitialUpdate();

    m_pFrame->setWindowTitle(kWindowTitle);
    m_pFrame->showMaximized();
    return true;
}

void COrboApp::OnAppAbout()
{
    CAboutBox box(m_pFrame.get());
    box.exec();
}
