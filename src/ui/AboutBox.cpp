#include "ui/AboutBox.h"

#include "ui/DialogUnits.h"
#include "ui/Resources.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent)
{
    InitOrboResources();
    setWindowTitle(tr("关于 Orbo"));
    setFont(DialogFont());
    const CDialogUnits units(font());
    // The box of the original, with lines for the version and the licence
    // beneath its button.
    setFixedSize(units.Size(216, 206));

    // The picture keeps its own size at the rectangle's corner.
    m_pPicture = new QLabel(this);
    const QPixmap picture(QStringLiteral(":/orbo/about-picture.png"));
    m_pPicture->setPixmap(picture);
    m_pPicture->setGeometry(QRect(units.Rect(7, 7, 200, 150).topLeft(), picture.size()));

    m_pOk = new QPushButton(tr("确定"), this);
    m_pOk->setGeometry(units.Rect(83, 160, 50, 14));
    m_pOk->setDefault(true);
    m_pOk->setFocus();
    connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);

    m_pVersion = new QLabel(tr("版本 %1").arg(QStringLiteral(ORBO_VERSION)), this);
    m_pVersion->setAlignment(Qt::AlignCenter);
    m_pVersion->setGeometry(units.Rect(7, 180, 202, 10));

    m_pLicence = new QLabel(tr("许可证：%1").arg(QStringLiteral(ORBO_LICENSE)), this);
    m_pLicence->setAlignment(Qt::AlignCenter);
    m_pLicence->setGeometry(units.Rect(7, 190, 202, 10));
}
