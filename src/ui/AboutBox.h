#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The modal About box: the program's picture, an OK button, the version and the
// licence.
class CAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutBox(QWidget* parent = nullptr);

    QLabel* Picture() const { return m_pPicture; }
    QPushButton* OkButton() const { return m_pOk; }
    QLabel* VersionLabel() const { return m_pVersion; }
    QLabel* LicenceLabel() const { return m_pLicence; }

private:
    QLabel* m_pPicture = nullptr;
    QPushButton* m_pOk = nullptr;
    QLabel* m_pVersion = nullptr;
    QLabel* m_pLicence = nullptr;
};
