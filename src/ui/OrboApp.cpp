#include "ui/OrboApp.h"

#include "ui/AboutBox.h"
#include "ui/MainFrame.h"
#include "ui/OrboDoc.h"
#include "ui/QtCatalogues.h"
#include "ui/Resources.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLocale>

const QString COrboApp::kAppName = QStringLiteral("Orbo");
const QString COrboApp::kWindowTitle = QStringLiteral("Quellim");

COrboApp::COrboApp() = default;

COrboApp::~COrboApp() = default;

bool COrboApp::InitInstance()
{
    if (!qApp)
        return false;
    InitOrboResources();
    QCoreApplication::setApplicationName(kAppName);
    QGuiApplication::setDesktopFileName(QStringLiteral("orbo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/orbo/orbo.png")));

    // Every text of the program is Chinese, whatever the system's locale: so are
    // Qt's own dialogs (file dialogs, their messages, standard buttons) and the
    // dates and sizes they show.
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    LoadQtCatalogues(chinese);

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
