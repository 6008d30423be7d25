// The grid dialog, alone and as the grid command shows it.

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "tests/support/widget_support.h"

namespace plexor::test {

class GridDialogWidgetTest final : public ProgramTest {
    Q_OBJECT

private slots:
    void firstGridCommandShowsTheDefaultStepSelected()
    {
        GridDialog& g = program_->gridDialog();
        auto* stepEdit = child<QLineEdit>(g, "stepEdit");
        QString shown, selected;
        bool focused = false;
        whenShown(g, [&] {
            shown = stepEdit->text();
            selected = stepEdit->selectedText();
            focused = g.focusWidget() == stepEdit;
            // Typing replaces the selected text.
            QTest::keyClicks(stepEdit, QStringLiteral("24"));
            QTest::keyClick(stepEdit, Qt::Key_Return);
        });
        QTest::mouseClick(child<QToolButton>(program_->mainWindow(), "gridButton"), Qt::LeftButton);
        QCOMPARE(shown, QStringLiteral("48"));
        QCOMPARE(selected, QStringLiteral("48"));
        QVERIFY(focused);
        QVERIFY(!g.isVisible());
        QCOMPARE(program_->controlGrid().step(), 24);
        QVERIFY(program_->controlGrid().exists());
        QVERIFY(child<QAction>(program_->mainWindow(), "showGridAction")->isChecked());

        // The next command proposes the step now in force.
        answerGridDialog(g, QStringLiteral("20"), &shown);
        QTest::mouseClick(child<QToolButton>(program_->mainWindow(), "gridButton"), Qt::LeftButton);
        QCOMPARE(shown, QStringLiteral("24"));
        QCOMPARE(program_->controlGrid().step(), 20);
    }

    void dialogIsLaidOutAsDesigned()
    {
        GridDialog& g = program_->gridDialog();
        const auto [stepLabel, stepEdit, buttonPanel, okButton] = childrenNamed<QLabel, QLineEdit, QFrame, QPushButton>(
            g, "stepLabel", "stepEdit", "buttonPanel", "okButton");
        QCOMPARE(g.windowTitle(), QStringLiteral("Grid definition"));
        QCOMPARE(g.size(), QSize(149, 82));
        QCOMPARE(g.minimumSize(), g.maximumSize());
        QCOMPARE(g.pos(), QPoint(435, 107));
        const Qt::WindowFlags flags = g.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
        QCOMPARE(stepLabel->text(), QStringLiteral("Grid difference:"));
        QCOMPARE(stepLabel->pos(), QPoint(8, 13));
        QVERIFY(stepLabel->x() + stepLabel->fontMetrics().horizontalAdvance(stepLabel->text()) < stepEdit->x());
        QCOMPARE(stepEdit->geometry(), QRect(88, 8, 49, 21));
        QCOMPARE(buttonPanel->geometry(), QRect(0, 41, 149, 41));
        QCOMPARE(okButton->parentWidget(), static_cast<QWidget*>(buttonPanel));
        QCOMPARE(okButton->geometry(), QRect(40, 8, 75, 25));
        QCOMPARE(okButton->text(), QStringLiteral("OK"));
        QVERIFY(okButton->isDefault());
    }

    void keyGOpensTheDialogInEitherCase()
    {
        MainWindow& w = program_->mainWindow();
        int shown = 0;
        for (const char key : {'g', 'G', 'h', '#'}) {
            whenShown(
                program_->gridDialog(),
                [&] {
                    ++shown;
                    program_->gridDialog().close();
                },
                20);
            QTest::keyClick(&w, key);
            QTest::qWait(100); // a dialog that was not shown gives up waiting
        }
        QCOMPARE(shown, 2);
    }

    void everyWayOfClosingAppliesTheValue_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("step");
        QTest::newRow("close box") << "close" << 30;
        QTest::newRow("Esc") << "escape" << 31;
        QTest::newRow("Ctrl+K in the edit box") << "ctrl-k" << 32;
        QTest::newRow("OK button") << "ok" << 33;
    }

    void everyWayOfClosingAppliesTheValue()
    {
        QFETCH(QString, how);
        QFETCH(int, step);
        GridDialog& g = program_->gridDialog();
        auto* stepEdit = child<QLineEdit>(g, "stepEdit");
        bool stayedOpen = false;
        whenShown(g, [&] {
            stepEdit->setText(QString::number(step));
            stepEdit->setCursorPosition(0);
            // A way that fails to close the dialog is caught here.
            QTimer::singleShot(3000, &g, [&] {
                if (!g.isVisible()) return;
                stayedOpen = true;
                g.reject();
            });
            if (how == QLatin1String("close")) {
                g.close();
            } else if (how == QLatin1String("escape")) {
                QTest::keyClick(stepEdit, Qt::Key_Escape);
            } else if (how == QLatin1String("ctrl-k")) {
                // What the window system sends for Ctrl+K: the key and the
                // character with code 11.
                QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::ControlModifier, QString(QChar(11)));
                QApplication::sendEvent(stepEdit, &press);
            } else {
                QTest::mouseClick(child<QPushButton>(g, "okButton"), Qt::LeftButton);
            }
        });
        QTest::mouseClick(child<QToolButton>(program_->mainWindow(), "gridButton"), Qt::LeftButton);
        QVERIFY(!stayedOpen);
        QVERIFY(!g.isVisible());
        QCOMPARE(program_->controlGrid().step(), step);
        // Ctrl+K closed the dialog rather than cutting the text.
        QCOMPARE(stepEdit->text(), QString::number(step));
    }

    void refusedStepsChangeNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("not a number") << "abc";
        QTest::newRow("zero") << "0";
        QTest::newRow("negative") << "-5";
    }

    void refusedStepsChangeNothing()
    {
        QFETCH(QString, text);
        MainWindow& w = program_->mainWindow();
        const auto [gridButton, showGridAction] =
            childrenNamed<QToolButton, QAction>(w, "gridButton", "showGridAction");
        answerGridDialog(program_->gridDialog(), QStringLiteral("16"));
        QTest::mouseClick(gridButton, Qt::LeftButton);
        showGridAction->trigger(); // unchecked again
        const std::size_t points = program_->controlGrid().points().size();
        const std::vector<float> weights = program_->controlGrid().tables().weights();

        answerGridDialog(program_->gridDialog(), text);
        QTest::mouseClick(gridButton, Qt::LeftButton);
        QCOMPARE(program_->boxes->errors.size(), std::size_t{1});
        QCOMPARE(program_->controlGrid().step(), 16);
        QVERIFY(program_->controlGrid().points().size() == points);
        QVERIFY(program_->controlGrid().tables().weights() == weights);
        QVERIFY(!showGridAction->isChecked());
        QVERIFY(!w.commands().view().gridShown());
    }

    void dialogAloneReturnsWhateverClosedIt()
    {
        GridDialog dialog;
        dialog.setEditText("12");
        whenShown(dialog, [&] { dialog.close(); });
        dialog.showModal();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.editText(), std::string("12"));
    }
};

} // namespace plexor::test

QTEST_MAIN(plexor::test::GridDialogWidgetTest)
#include "grid_dialog_widget_test.moc"
