#include "UiTestSupport.h"

#include "ui/LeftPortion.h"
#include "ui/QtCatalogues.h"
#include "ui/TextureDialog.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QFile>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMap>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QStyle>
#include <QTimer>
#include <QTreeView>

namespace {

// The file names the dialog lists in its current folder, once its model has read
// the folder.
QStringList ListedNames(QFileDialog& dialog)
{
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model)
        return {};
    const QModelIndex folder = model->index(dialog.directory().absolutePath());
    // The folder is read in the background: wait until the list stops growing.
    QDeadlineTimer deadline(5000);
    int count = -1;
    QDeadlineTimer settled(300);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (model->canFetchMore(folder))
            model->fetchMore(folder);
        if (model->rowCount(folder) != count) {
            count = model->rowCount(folder);
            settled.setRemainingTime(300);
        } else if (count > 0 && settled.hasExpired()) {
            break;
        }
    }
    QStringList names;
    for (int row = 0; row < model->rowCount(folder); ++row)
        names << model->index(row, 0, folder).data().toString();
    names.sort();
    return names;
}

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(TextureDialogTest, FiltersReadAsGivenAndAllFilesListsNamesWithoutADot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Touch(dir.filePath(QStringLiteral("a.bmp")));
    Touch(dir.filePath(QStringLiteral("b.png")));
    Touch(dir.filePath(QStringLiteral("README")));

    CTextureDialog dialog(nullptr, QStringLiteral("打开"), dir.path(), CLeftPortion::kTextureFilter);
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 3);
    EXPECT_EQ(types->itemText(0), QStringLiteral("位图文件(*.bmp)"));
    EXPECT_EQ(types->itemText(1), QStringLiteral("图像文件(*.bmp *.png *.jpg *.jpeg)"));
    EXPECT_EQ(types->itemText(2), QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(types->currentIndex(), 0);

    dialog.show();
    EXPECT_EQ(ListedNames(dialog), QStringList{QStringLiteral("a.bmp")});

    types->setCurrentIndex(1);
    types->activated(1);
    EXPECT_EQ(ListedNames(dialog), (QStringList{QStringLiteral("a.bmp"), QStringLiteral("b.png")}));

    types->setCurrentIndex(2);
    types->activated(2);
    EXPECT_EQ(ListedNames(dialog),
              (QStringList{QStringLiteral("README"), QStringLiteral("a.bmp"), QStringLiteral("b.png")}));
    dialog.close();
}

TEST(TextureDialogTest, ATypedNameOfNoFileIsAccepted)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CTextureDialog dialog(nullptr, QStringLiteral("打开"), dir.path(), CLeftPortion::kTextureFilter);
    // A dialog that refused the name would put up a message box: close it, so
    // that the test fails instead of waiting.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(100);
    dialog.show();
    dialog.selectFile(QStringLiteral("none yet.bmp"));
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    buttons->button(QDialogButtonBox::Open)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedFiles(), QStringList{dir.filePath(QStringLiteral("none yet.bmp"))});
}

// In a Chinese window the file list speaks Chinese: a folder's type, sizes and
// dates in the language's words and format, not the system's. 1,250 pixels
// wide, the size, type and date columns show their entries whole.
TEST(TextureDialogTest, FileListSpeaksTheProgramsLanguageInColumnsReadInFull)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    ASSERT_TRUE(LoadQtCatalogues(QLocale()));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("子文件夹")));
    const QString bmp = dir.filePath(QStringLiteral("a.bmp"));
    {
        QFile file(bmp);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2000, 'x'));
    }
    {
        CTextureDialog dialog(nullptr, QStringLiteral("打开"), dir.path(), CLeftPortion::kTextureFilter);
        dialog.resize(1250, 600);
        dialog.show();
        ASSERT_EQ(ListedNames(dialog).size(), 2);
        auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(details, nullptr);
        EXPECT_TRUE(details->isVisible());
        const QAbstractItemModel* list = details->model();
        QMap<QString, QStringList> rows;
        for (int row = 0; row < list->rowCount(details->rootIndex()); ++row) {
            QStringList columns;
            for (int column = 0; column < 4; ++column)
                columns << list->index(row, column, details->rootIndex()).data().toString();
            rows[columns[0]] = columns;
        }
        EXPECT_EQ(rows[QStringLiteral("子文件夹")].value(2), QStringLiteral("文件夹"));
        EXPECT_EQ(rows[QStringLiteral("a.bmp")].value(1), QLocale().formattedDataSize(2000));
        EXPECT_EQ(rows[QStringLiteral("a.bmp")].value(3),
                  QLocale().toString(QFileInfo(bmp).lastModified(), QLocale::ShortFormat));
        // Each entry's text with the margins an item view keeps on both sides.
        QCoreApplication::processEvents();
        const int margins = 2 * (details->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        for (int column = 1; column < 4; ++column) {
            const int width = details->header()->sectionSize(column);
            EXPECT_GE(width, details->header()->sectionSizeHint(column)) << column;
            for (const QStringList& row : rows)
                EXPECT_GE(width, details->fontMetrics().horizontalAdvance(row.value(column)) + margins)
                    << row.value(column).toStdString();
        }
        dialog.close();
    }
    LoadQtCatalogues(before);
    QLocale::setDefault(before);
}

TEST(TextureDialogTest, EntriesWithoutPatternsOrWithSeveral)
{
    EXPECT_EQ(CTextureDialog::DialogFilters(QStringLiteral("图片 (*.bmp *.png);;Anything;;全部(*.*)")),
              (QStringList{QStringLiteral("图片 (*.bmp *.png) (*.bmp *.png)"), QStringLiteral("Anything (*)"),
                           QStringLiteral("全部(*.*) (*)")}));
}

} // namespace
