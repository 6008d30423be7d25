// Files reaching the window other than through the open dialog: File >
// Open recent, kept in the user's settings between runs, and files dropped
// on the window.

#include <filesystem>

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "app/qt/qt_settings_store.h"
#include "tests/support/widget_support.h"

namespace plexor::test {

class FilesWidgetTest final : public ProgramTest {
    Q_OBJECT

    // The recent items the menu shows, by their text.
    QStringList shownRecent() const
    {
        QStringList shown;
        for (std::size_t i = 1; i <= RecentPictures::kMaxFiles; ++i) {
            const QAction* item =
                child<QAction>(program_->mainWindow(), ("recentFileAction" + std::to_string(i)).c_str());
            if (item->isVisible()) shown << item->text();
        }
        return shown;
    }

    // Drags `files` onto the window's picture; whether the window took
    // them, and then drops them there.
    bool dragAndDrop(const std::vector<std::string>& files)
    {
        MainWindow& w = program_->mainWindow();
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& file : files) urls << QUrl::fromLocalFile(QFile::decodeName(file.c_str()));
        data.setUrls(urls);
        const QPoint at = child<QScrollArea>(w, "scrollArea")->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QApplication::processEvents(); // the drop's command runs once it returns
        return true;
    }

private slots:
    void theRecentMenuListsPicturesNewestFirstAndOpensThem()
    {
        TempFolder folder;
        MainWindow& w = program_->mainWindow();
        const auto [recentFileAction2, openAction] = childrenNamed<QAction>(w, "recentFileAction2", "openAction");
        auto* openRecentMenu = child<QMenu>(w, "openRecentMenu");
        const std::string first = writeBmp(folder, "first & only.bmp", gradient24(8, 8));
        const std::string second = writeBmp(folder, "second.bmp", gradient24(12, 8));
        program_->dialogs->openAnswers.push_back(FileDialogChoice{first, 1});
        openAction->trigger();
        program_->dialogs->openAnswers.push_back(FileDialogChoice{second, 1});
        openAction->trigger();
        QVERIFY(openRecentMenu->isEnabled());
        QCOMPARE(shownRecent(), (QStringList{"&1 " + QString::fromStdString(second),
                                             "&2 " + QString::fromStdString(folder.file("first && only.bmp"))}));

        recentFileAction2->trigger();
        QCOMPARE(program_->buffers().width(), 8);
        QCOMPARE(shownRecent().first(), "&1 " + QString::fromStdString(folder.file("first && only.bmp")));

        // Gone by the time it is chosen: a message, and it leaves the menu.
        std::filesystem::remove(second);
        recentFileAction2->trigger();
        QCOMPARE(program_->boxes->errors.size(), std::size_t{1});
        QCOMPARE(shownRecent().size(), 1);
        QCOMPARE(program_->buffers().width(), 8);

        child<QAction>(w, "clearRecentAction")->trigger();
        QVERIFY(shownRecent().isEmpty());
        QVERIFY(!openRecentMenu->isEnabled());
    }

    void theRecentPicturesAndTheirFolderOutliveTheProgram()
    {
        // The ctest run points the user's settings into the build folder;
        // run by hand, the test leaves the user's own settings alone.
        if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")) QSKIP("XDG_CONFIG_HOME is not set: run it with ctest");
        const QString place = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/plexor/plexor.conf");
        QFile::remove(place);
        TempFolder folder;
        const std::string picture = writeBmp(folder, "kept.bmp", gradient24(8, 8));
        program_ = startTestProgram(std::make_unique<QtSettingsStore>());
        QVERIFY(program_ != nullptr);
        program_->mainWindow().openFile(picture);
        program_->mainWindow().close();
        QVERIFY(QFile::exists(place));

        program_ = startTestProgram(std::make_unique<QtSettingsStore>());
        QVERIFY(program_ != nullptr);
        QCOMPARE(shownRecent(), QStringList{"&1 " + QString::fromStdString(picture)});
        child<QAction>(program_->mainWindow(), "openAction")->trigger();
        QCOMPARE(program_->dialogs->openRequests.back().fileName, folder.file("matrix.bmp"));
        // Nothing else is kept: the grid step starts at 48 again.
        QCOMPARE(program_->controlGrid().step(), 48);
        child<QAction>(program_->mainWindow(), "clearRecentAction")->trigger();
    }

    void aDroppedPictureOpensAGridFileIsLaidAndTheRestIsRefused()
    {
        TempFolder folder;
        const std::string grid = folder.file("bend.grid");
        writeText(grid, "plexor-grid 1\nsize 64 48\nstep 8\npoint 2 2 3 -3\n");
        const std::string notes = folder.file("notes.txt");
        writeText(notes, "a shopping list\n");
        const std::string picture = writeBmp(folder, "dropped.bmp", gradient24(64, 48));

        QVERIFY(!dragAndDrop({grid})); // no picture to lay it over yet
        QVERIFY(dragAndDrop({picture}));
        QVERIFY(program_->buffers().hasPicture());
        QCOMPARE(program_->mainWindow().commands().pictures().openedPath(), picture);
        QVERIFY(dragAndDrop({grid}));
        QVERIFY(program_->controlGrid().exists());
        QCOMPARE(program_->controlGrid().step(), 8);
        QCOMPARE(child<QAction>(program_->mainWindow(), "undoAction")->text(), QStringLiteral("Undo Open Grid"));

        QVERIFY(!dragAndDrop({notes}));
        QVERIFY(!dragAndDrop({picture, picture}));
        QVERIFY(program_->boxes->errors.empty());
        QVERIFY(program_->boxes->messages.empty());
    }
};

} // namespace plexor::test

QTEST_MAIN(plexor::test::FilesWidgetTest)
#include "files_widget_test.moc"
