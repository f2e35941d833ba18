#include "ui/QtCatalogues.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include <cstring>
#include <memory>

namespace {

// Qt 6 asks for some of its file dialog's words under a context of their own
// ("Folder", "Drive", "Unknown" of the file icon provider), while the
// catalogues of several languages still hold them under the file dialog's,
// where Qt 5 asked for them. This answers the new context from the old one.
class CFormerContexts : public QTranslator
{
public:
    explicit CFormerContexts(const QTranslator& catalogue) : m_catalogue(catalogue) {}

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override
    {
        if (!context || std::strcmp(context, "QAbstractFileIconProvider") != 0)
            return QString();
        QString text = m_catalogue.translate("QFileDialog", sourceText, disambiguation, n);
        if (text.isEmpty() && disambiguation)
            text = m_catalogue.translate("QFileDialog", sourceText, nullptr, n);
        return text;
    }

private:
    const QTranslator& m_catalogue;
};

struct SInstalled
{
    std::unique_ptr<QTranslator> catalogue;
    std::unique_ptr<CFormerContexts> former;
};

SInstalled& Installed()
{
    static SInstalled installed;
    return installed;
}

} // namespace

bool LoadQtCatalogues(const QLocale& language)
{
    SInstalled& installed = Installed();
    // The former contexts refer to the catalogue: removed first.
    if (installed.former)
        QCoreApplication::removeTranslator(installed.former.get());
    if (installed.catalogue)
        QCoreApplication::removeTranslator(installed.catalogue.get());
    installed.former.reset();
    installed.catalogue.reset();

    // qtbase holds every word of the widgets and dialogs the program shows (the
    // "qt" catalogue only gathers it with modules the program does not use).
    auto catalogue = std::make_unique<QTranslator>();
    if (!catalogue->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    installed.catalogue = std::move(catalogue);
    installed.former = std::make_unique<CFormerContexts>(*installed.catalogue);
    QCoreApplication::installTranslator(installed.catalogue.get());
    QCoreApplication::installTranslator(installed.former.get());
    return true;
}
