// The file dialogs built from a request, and the message boxes.

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>

#include "app/qt/qt_file_dialogs.h"
#include "app/qt/qt_message_boxes.h"
#include "tests/support/widget_support.h"

namespace plexor::test {
namespace {

// Runs `action` on the next modal dialog of type T once it is shown.
template <class T>
void whenModal(std::function<void(T&)> action, int triesLeft = 2000)
{
    QTimer::singleShot(1, [action = std::move(action), triesLeft] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            dialog != nullptr && dialog->isVisible())
            action(*dialog);
        else if (triesLeft > 0)
            whenModal<T>(action, triesLeft - 1);
    });
}

struct BoxSeen {
    QString title, text, name;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool onlyOk = false;
};

void recordAndClose(BoxSeen& seen)
{
    whenModal<QMessageBox>([&seen](QMessageBox& box) {
        seen = {box.windowTitle(), box.text(), box.objectName(), box.icon(), box.standardButtons() == QMessageBox::Ok};
        box.button(QMessageBox::Ok)->click();
    });
}

} // namespace

class DialogsWidgetTest final : public QObject {
    Q_OBJECT

private slots:
    void filtersBecomeQtNameFilters()
    {
        QCOMPARE(nameFilters({{"Bitmaps", {"bmp"}}, {"All files", {}}}),
                 (QStringList{"Bitmaps (*.bmp)", "All files (*)"}));
        QCOMPARE(nameFilters({{"Pictures", {"bmp", "ico"}}}), QStringList{"Pictures (*.bmp *.ico)"});
        QCOMPARE(nameFilters({}), QStringList{});
    }

    void openDialogIsSetUpFromTheRequest()
    {
        QTemporaryDir folder;
        FileDialogRequest request{
            {{"Bitmaps", {"bmp"}}, {"All files", {}}}, 2, (folder.path() + "/matrix.bmp").toStdString(), "bmp"};
        QFileDialog dialog;
        configureFileDialog(dialog, request, QFileDialog::AcceptOpen);
        QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
        // A name of a file that does not exist is accepted.
        QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
        QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("All files (*)"));
        QCOMPARE(dialog.defaultSuffix(), QStringLiteral("bmp"));
        QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(folder.path()).canonicalPath());
        QVERIFY(dialog.isSizeGripEnabled());
        QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(!dialog.testOption(QFileDialog::ReadOnly));
    }

    void saveDialogReplacesWithoutAsking()
    {
        FileDialogRequest request{{{"Bitmap file", {"bmp"}}}, 1, "", "bmp"};
        QFileDialog dialog;
        configureFileDialog(dialog, request, QFileDialog::AcceptSave);
        QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(dialog.nameFilters(), QStringList{"Bitmap file (*.bmp)"});
    }

    void runningADialogGivesTheTypedNameWithTheDefaultExtension()
    {
        QTemporaryDir folder;
        QtFileDialogs dialogs(nullptr);
        const FileDialogRequest request{
            {{"Bitmaps", {"bmp"}}, {"All files", {}}}, 1, (folder.path() + "/matrix.bmp").toStdString(), "bmp"};
        QString name;
        whenModal<QFileDialog>([&name](QFileDialog& dialog) {
            name = dialog.objectName();
            dialog.selectNameFilter(dialog.nameFilters().at(1));
            dialog.selectFile(QStringLiteral("new picture"));
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        const std::optional<FileDialogChoice> choice = dialogs.runOpenDialog(request);
        QCOMPARE(name, QStringLiteral("openDialog"));
        QVERIFY(choice.has_value());
        QCOMPARE(QString::fromStdString(choice->fileName), folder.path() + "/new picture.bmp");
        QCOMPARE(choice->filterIndex, 2);

        whenModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
        QVERIFY(!dialogs.runSaveDialog(request).has_value());
    }

    void aNameSavedWithoutExtensionTakesTheSelectedEntrys()
    {
        QTemporaryDir folder;
        QtFileDialogs dialogs(nullptr);
        const FileDialogRequest request{{{"BMP pictures", {"bmp"}}, {"JPEG pictures", {"jpg", "jpeg"}}},
                                        1,
                                        (folder.path() + "/start.bmp").toStdString(),
                                        "bmp"};
        whenModal<QFileDialog>([](QFileDialog& dialog) {
            dialog.selectNameFilter(dialog.nameFilters().at(1));
            dialog.selectFile(QStringLiteral("holiday"));
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        const std::optional<FileDialogChoice> choice = dialogs.runSaveDialog(request);
        QVERIFY(choice.has_value());
        QCOMPARE(QString::fromStdString(choice->fileName), folder.path() + "/holiday.jpg");
        QCOMPARE(choice->filterIndex, 2);
    }

    void messageIconsChooseTheBoxIcon()
    {
        QtMessageBoxes boxes(nullptr);
        BoxSeen seen;
        recordAndClose(seen);
        boxes.showMessage("Not enough memory for source.", "Error", MessageIcon::Stop);
        QCOMPARE(seen.title, QStringLiteral("Error"));
        QCOMPARE(seen.text, QStringLiteral("Not enough memory for source."));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QVERIFY(seen.onlyOk);

        recordAndClose(seen);
        boxes.showMessage("GetDIBits failed", "Error", MessageIcon::None);
        QCOMPARE(seen.text, QStringLiteral("GetDIBits failed"));
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QVERIFY(seen.onlyOk);
    }

    void theQuestionAboutUnsavedChangesOffersSaveDiscardAndCancel()
    {
        QtMessageBoxes boxes(nullptr);
        const auto answer = [&boxes](QMessageBox::StandardButton button, bool escape) {
            QString text;
            bool buttons = false;
            whenModal<QMessageBox>([&](QMessageBox& box) {
                text = box.text();
                buttons = box.standardButtons() == (QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel) &&
                          box.defaultButton() == box.button(QMessageBox::Save);
                if (escape)
                    QTest::keyClick(&box, Qt::Key_Escape);
                else
                    box.button(button)->click();
            });
            const SaveChoice choice = boxes.askToSaveChanges("photo.jpg");
            return std::tuple{choice, text, buttons};
        };
        QCOMPARE(answer(QMessageBox::Save, false),
                 std::tuple(SaveChoice::Save, QStringLiteral("Save changes to photo.jpg?"), true));
        QCOMPARE(std::get<0>(answer(QMessageBox::Discard, false)), SaveChoice::Discard);
        QCOMPARE(std::get<0>(answer(QMessageBox::Cancel, false)), SaveChoice::Cancel);
        QCOMPARE(std::get<0>(answer(QMessageBox::NoButton, true)), SaveChoice::Cancel);
    }

    void errorsAndInformationHaveTheirOwnBoxes()
    {
        QtMessageBoxes boxes(nullptr);
        BoxSeen seen;
        recordAndClose(seen);
        boxes.showError("Bitmap image is not valid");
        QCOMPARE(seen.name, QStringLiteral("errorDisplay"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.text, QStringLiteral("Bitmap image is not valid"));

        recordAndClose(seen);
        boxes.showInformation(MainCommands::kAboutText);
        QCOMPARE(seen.name, QStringLiteral("informationBox"));
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(seen.text, QString::fromUtf8(MainCommands::kAboutText));
        QVERIFY(seen.onlyOk);
    }
};

} // namespace plexor::test

QTEST_MAIN(plexor::test::DialogsWidgetTest)
#include "dialogs_widget_test.moc"
