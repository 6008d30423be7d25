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
        TFGrid& g = program_->FGrid();
        QString shown, selected;
        bool focused = false;
        WhenShown(g, [&] {
            shown = g.SE->text();
            selected = g.SE->selectedText();
            focused = g.focusWidget() == g.SE;
            // Typing replaces the selected text.
            QTest::keyClicks(g.SE, QStringLiteral("24"));
            QTest::keyClick(g.SE, Qt::Key_Return);
        });
        QTest::mouseClick(program_->FMain().SBGrid, Qt::LeftButton);
        QCOMPARE(shown, QStringLiteral("48"));
        QCOMPARE(selected, QStringLiteral("48"));
        QVERIFY(focused);
        QVERIFY(!g.isVisible());
        QCOMPARE(program_->Model().GridStepX, 24);
        QCOMPARE(program_->Model().GridStepY, 24);
        QVERIFY(program_->Model().GridExists());
        QVERIFY(program_->FMain().MIShow->isChecked());

        // The next command proposes the step now in force.
        AnswerGridDialog(g, QStringLiteral("20"), &shown);
        QTest::mouseClick(program_->FMain().SBGrid, Qt::LeftButton);
        QCOMPARE(shown, QStringLiteral("24"));
        QCOMPARE(program_->Model().GridStepX, 20);
    }

    void dialogIsLaidOutAsDesigned()
    {
        TFGrid& g = program_->FGrid();
        QCOMPARE(g.windowTitle(), QStringLiteral("Grid definition"));
        QCOMPARE(g.size(), QSize(149, 82));
        QCOMPARE(g.minimumSize(), g.maximumSize());
        QCOMPARE(g.pos(), QPoint(435, 107));
        const Qt::WindowFlags flags = g.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
        QCOMPARE(g.Label1->text(), QStringLiteral("Grid difference:"));
        QCOMPARE(g.Label1->pos(), QPoint(8, 13));
        QVERIFY(g.Label1->x() + g.Label1->fontMetrics().horizontalAdvance(g.Label1->text()) < g.SE->x());
        QCOMPARE(g.SE->geometry(), QRect(88, 8, 49, 21));
        QCOMPARE(g.PBottom->geometry(), QRect(0, 41, 149, 41));
        QCOMPARE(g.BBOK->parentWidget(), static_cast<QWidget*>(g.PBottom));
        QCOMPARE(g.BBOK->geometry(), QRect(40, 8, 75, 25));
        QCOMPARE(g.BBOK->text(), QStringLiteral("OK"));
        QVERIFY(g.BBOK->isDefault());
    }

    void keyGOpensTheDialogInEitherCase()
    {
        TFMain& w = program_->FMain();
        int shown = 0;
        for (const char key : {'g', 'G', 'h', '#'}) {
            WhenShown(
                program_->FGrid(),
                [&] {
                    ++shown;
                    program_->FGrid().close();
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
        TFGrid& g = program_->FGrid();
        bool stayedOpen = false;
        WhenShown(g, [&] {
            g.SE->setText(QString::number(step));
            g.SE->setCursorPosition(0);
            // A way that fails to close the dialog is caught here.
            QTimer::singleShot(3000, &g, [&] {
                if (!g.isVisible()) return;
                stayedOpen = true;
                g.reject();
            });
            if (how == QLatin1String("close")) {
                g.close();
            } else if (how == QLatin1String("escape")) {
                QTest::keyClick(g.SE, Qt::Key_Escape);
            } else if (how == QLatin1String("ctrl-k")) {
                // What the window system sends for Ctrl+K: the key and the
                // character with code 11.
                QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::ControlModifier, QString(QChar(11)));
                QApplication::sendEvent(g.SE, &press);
            } else {
                QTest::mouseClick(g.BBOK, Qt::LeftButton);
            }
        });
        QTest::mouseClick(program_->FMain().SBGrid, Qt::LeftButton);
        QVERIFY(!stayedOpen);
        QVERIFY(!g.isVisible());
        QCOMPARE(program_->Model().GridStepX, step);
        // Ctrl+K closed the dialog rather than cutting the text.
        QCOMPARE(g.SE->text(), QString::number(step));
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
        TFMain& w = program_->FMain();
        AnswerGridDialog(program_->FGrid(), QStringLiteral("16"));
        QTest::mouseClick(w.SBGrid, Qt::LeftButton);
        w.MIShow->trigger(); // unchecked again
        const std::vector<TControlPoint> points = program_->Model().ControlPoints;
        const std::vector<float> weights = program_->Model().WeightTable;

        AnswerGridDialog(program_->FGrid(), text);
        QTest::mouseClick(w.SBGrid, Qt::LeftButton);
        QCOMPARE(program_->Boxes->errors.size(), std::size_t{1});
        QCOMPARE(program_->Model().GridStepX, 16);
        QCOMPARE(program_->Model().GridStepY, 16);
        QVERIFY(program_->Model().ControlPoints.size() == points.size());
        QVERIFY(program_->Model().WeightTable == weights);
        QVERIFY(!w.MIShow->isChecked());
        QVERIFY(!w.Commands().ShowChecked());
    }

    void dialogAloneReturnsWhateverClosedIt()
    {
        TFGrid dialog;
        dialog.SetEditText("12");
        WhenShown(dialog, [&] { dialog.close(); });
        dialog.ShowModal();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.EditText(), std::string("12"));
    }
};

} // namespace plexor::test

QTEST_MAIN(plexor::test::GridDialogWidgetTest)
#include "grid_dialog_widget_test.moc"
