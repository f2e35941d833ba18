#include "UiTestSupport.h"

#include "ui/LeftPortion.h"
#include "ui/TextureDialog.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFile>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTimer>

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

TEST(TextureDialogTest, EntriesWithoutPatternsOrWithSeveral)
{
    EXPECT_EQ(CTextureDialog::DialogFilters(QStringLiteral("图片 (*.bmp *.png);;Anything;;全部(*.*)")),
              (QStringList{QStringLiteral("图片 (*.bmp *.png) (*.bmp *.png)"), QStringLiteral("Anything (*)"),
                           QStringLiteral("全部(*.*) (*)")}));
}

} // namespace
