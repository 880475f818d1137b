// The tools' result box, offscreen: small texts in the editable view as before,
// large ones in the read-only view that lays out only the rows on screen, with
// its selection, copies and line pieces; the form's text round-trips either
// way. The times are freeze guards with generous bounds, not speed tests.

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollBar>
#include <QtTest/QtTest>

#include "form/qt_form.h"
#include "form/qt_large_text.h"
#include "form/qt_long_lines.h"
#include "form/qt_result_box.h"

namespace lct {
namespace {

// "000001\n000002\n…", `count` lines of six digits.
QString numberLines(int count) {
    QString text;
    text.reserve(qsizetype{count} * 7);
    for (int i = 1; i <= count; ++i) {
        if (i > 1) text += u'\n';
        text += QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
    }
    return text;
}

// Clicks the view at a point of its viewport.
void click(LargeTextView& view, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, at);
}

}  // namespace

class ResultBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void aMillionLinesShowWithinSeconds() {
        ResultBox box;
        box.resize(500, 400);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QString text = numberLines(1'000'000);
        QElapsedTimer timer;
        timer.start();
        box.setFullText(text);
        box.repaint();
        QCoreApplication::processEvents();
        const qint64 elapsed = timer.elapsed();
        qInfo("shown in %lld ms", elapsed);
        QVERIFY2(elapsed < 8000, qPrintable(QString::number(elapsed) + " ms"));
        QVERIFY(box.showsLargeText());
        QCOMPARE(box.fullText(), text);
        QVERIFY(box.findChild<QLabel*>(QStringLiteral("lctLargeTextNote"))->isVisible());

        LargeTextView& view = *box.largeView();
        QCOMPARE(view.rowCount(), qsizetype{1'000'000});
        QCOMPARE(view.rowText(999'999), QStringLiteral("1000000"));
        QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(view.firstVisibleRow() > 999'900);
        view.repaint();
    }

    void theFormsTextRoundTrips() {
        QWidget window;
        const ControlTable table = {{.name = "编辑框结果",
                                     .kind = ControlKind::EditBox,
                                     .multiLine = true,
                                     .breaksLongLines = true}};
        QtForm form(window, table);
        std::string large;
        for (int i = 0; i < 20'000; ++i)
            large += "line " + std::to_string(i) + "\r\n";
        Control& box = *form.find("编辑框结果");
        box.setText(large);
        QVERIFY(form.widgetAs<ResultBox>("编辑框结果")->showsLargeText());
        QCOMPARE(box.text(), large);
        box.setText("a\r\nb");
        QVERIFY(!form.widgetAs<ResultBox>("编辑框结果")->showsLargeText());
        QCOMPARE(box.text(), std::string("a\r\nb"));
    }

    void selectAllAndCopyGiveTheText() {
        ResultBox box;
        const QString text = numberLines(20'000) + QStringLiteral("\n");
        box.setFullText(text);
        LargeTextView& view = *box.largeView();
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), text);
        // Typing changes nothing.
        QTest::keyClicks(&view, QStringLiteral("xy"));
        QTest::keyClick(&view, Qt::Key_Backspace);
        QCOMPARE(box.fullText(), text);
    }

    void theMouseSelectsCharactersAndLines() {
        ResultBox box;
        box.resize(400, 300);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setFullText(numberLines(20'000));
        LargeTextView& view = *box.largeView();
        const int row = view.rowHeight();
        // From before the first character of the third row to past the end of
        // the fifth.
        click(view, QPoint(1, 4 + 2 * row + row / 2));
        click(view, QPoint(view.viewport()->width() - 2, 4 + 4 * row + row / 2), Qt::ShiftModifier);
        QCOMPARE(view.selectedText(), QStringLiteral("000003\n000004\n000005"));
        view.copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("000003\n000004\n000005"));

        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, 4 + row / 2));
        QCOMPARE(view.selectedText(), QStringLiteral("000001"));
    }

    void longLinesArePiecesOfTheirLine() {
        LargeTextView view;
        QString line(2 * LongLineView::kPieceLength + 5, QChar(u'字'));
        line[LongLineView::kPieceLength - 1] = QChar(0xD83D);  // a pair across a cut
        line[LongLineView::kPieceLength] = QChar(0xDE00);
        const QString text = QStringLiteral("head\n") + line + QStringLiteral("\ntail");
        view.setText(text);
        QCOMPARE(view.rowCount(), qsizetype{5});
        QCOMPARE(view.rowText(1).size(), LongLineView::kPieceLength - 1);
        QCOMPARE(view.rowText(2).size(), LongLineView::kPieceLength);
        QCOMPARE(view.rowText(3).size(), qsizetype{6});
        QCOMPARE(view.rowText(4), QStringLiteral("tail"));
        // A selection across the pieces copies the line without breaks.
        view.select(5, 5 + line.size());
        QCOMPARE(view.selectedText(), line);
    }

    void smallTextsStayEditable() {
        ResultBox box;
        const QString text = QStringLiteral("a\nb");
        box.setFullText(text);
        QVERIFY(!box.showsLargeText());
        QCOMPARE(box.editor()->toPlainText(), text);
        QVERIFY(!box.editor()->isReadOnly());
        box.editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(box.editor(), QStringLiteral("c"));
        QCOMPARE(box.fullText(), QStringLiteral("a\nbc"));
        QVERIFY(box.findChild<QLabel*>(QStringLiteral("lctLargeTextNote"))->isHidden());
        QCOMPARE(box.focusProxy(), box.editor());
    }

    void theSizeDecidesTheView() {
        QVERIFY(!isLargeText(QString(ResultBox::kLargeLines - 1, u'\n')));
        QVERIFY(isLargeText(QString(ResultBox::kLargeLines, u'\n')));
        QVERIFY(!isLargeText(QString(ResultBox::kLargeCharacters, u'a')));
        QVERIFY(isLargeText(QString(ResultBox::kLargeCharacters + 1, u'a')));

        ResultBox box;
        box.setFullText(QString(ResultBox::kLargeLines, u'\n'));
        QVERIFY(box.showsLargeText());
        QCOMPARE(box.focusProxy(), box.largeView());
        box.setFullText(QStringLiteral("x"));
        QVERIFY(!box.showsLargeText());
        QCOMPARE(box.largeView()->text(), QString());
    }
};

}  // namespace lct

QTEST_MAIN(lct::ResultBoxTest)
#include "result_box_test.moc"
