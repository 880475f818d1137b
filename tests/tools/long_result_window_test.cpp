// Result boxes with very long lines or very many of them, offscreen: a group
// of a million characters and a sequence of a million lines show at once (a
// freeze guard with a generous bound, not a speed measurement), and the
// display's breaks never reach the text or a copy.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QtTest/QtTest>

#include "form/qt_large_text.h"
#include "form/qt_long_lines.h"
#include "form/qt_result_box.h"
#include "platform/charset.h"
#include "settings/settings_support.h"
#include "tools/random_text_window.h"
#include "tools/sequence_text_window.h"

namespace lct {

class LongResultTest : public QObject {
    Q_OBJECT

  private slots:
    void millionCharacterGroupShowsWithinSeconds() {
        test::TempFolder folder;
        SettingsStore store;
        QVERIFY(store.open(folder / "settings.ini"));
        RandomTextWindow window(store, nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QtForm& form = window.form();
        form.widgetAs<QLineEdit>("编辑框字数1")->setText(QStringLiteral("1000000"));
        form.widgetAs<QLineEdit>("编辑框字数2")->setText(QStringLiteral("1000000"));
        form.widgetAs<QLineEdit>("编辑框组数")->setText(QStringLiteral("1"));

        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(form.widgetAs<QPushButton>("按钮生成汉字"), Qt::LeftButton);
        auto* box = form.widgetAs<ResultBox>("编辑框结果");
        box->repaint();
        QCoreApplication::processEvents();
        const qint64 elapsed = timer.elapsed();
        qInfo("shown in %lld ms", elapsed);
        QVERIFY2(elapsed < 8000, qPrintable(QString::number(elapsed) + " ms"));

        QVERIFY(!box->showsLargeText());
        QVERIFY(box->editor()->showsBrokenLines());
        QCOMPARE(textOf(form, "编辑框结果").size(), 2'000'000u);  // GBK, one line
    }

    void millionLineSequenceShowsWithinSeconds() {
        test::TempFolder folder;
        SettingsStore store;
        QVERIFY(store.open(folder / "settings.ini"));
        SequenceTextWindow window(store, nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QtForm& form = window.form();
        form.widgetAs<QLineEdit>("编辑框起始值")->setText(QStringLiteral("1"));
        form.widgetAs<QLineEdit>("编辑框终止值")->setText(QStringLiteral("1000000"));
        form.widgetAs<QLineEdit>("编辑框零位数")->setText(QStringLiteral("0"));
        form.widgetAs<QCheckBox>("选择框数位相同")->setChecked(false);

        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(form.widgetAs<QPushButton>("按钮生成"), Qt::LeftButton);
        auto* box = form.widgetAs<ResultBox>("编辑框结果");
        box->repaint();
        QCoreApplication::processEvents();
        const qint64 elapsed = timer.elapsed();
        qInfo("generated and shown in %lld ms", elapsed);
        // The bound covers making the million items too.
        QVERIFY2(elapsed < 30000, qPrintable(QString::number(elapsed) + " ms"));

        QVERIFY(box->showsLargeText());
        QCOMPARE(box->largeView()->rowCount(), qsizetype{1'000'000});
        const std::string text = textOf(form, "编辑框结果");
        QVERIFY(text.starts_with("1\r\n2\r\n3\r\n"));
        QVERIFY(text.ends_with("\r\n999999\r\n1000000"));
        QCOMPARE(text.size(), 5'888'896u + 2 * 999'999u);  // digits and CR LF

        // The copy button and a copy of everything give the text as it is.
        const QString shown = box->fullText();
        QTest::mouseClick(form.widgetAs<QPushButton>("按钮复制"), Qt::LeftButton);
        QVERIFY(QApplication::clipboard()->text() == shown);
        QApplication::clipboard()->clear();
        box->largeView()->setFocus();
        QTest::keyClick(box->largeView(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box->largeView(), Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->text() == shown);
    }

    void breaksStayOutOfTheTextAndOfCopies() {
        LongLineView view;
        const QString line(LongLineView::kPieceLength * 2 + 5, QChar(u'字'));
        const QString text = QStringLiteral("head\n") + line + QStringLiteral("\ntail");
        view.setFullText(text);
        QVERIFY(view.showsBrokenLines());
        QCOMPARE(view.document()->blockCount(), 5);
        QCOMPARE(view.fullText(), text);

        view.selectAll();
        view.copy();
        QCOMPARE(QApplication::clipboard()->text(), text);

        // A selection from inside the first piece to inside the last one.
        QTextCursor cursor(view.document());
        cursor.setPosition(10);
        cursor.setPosition(5 + 2 * LongLineView::kPieceLength + 2 + 3, QTextCursor::KeepAnchor);
        view.setTextCursor(cursor);
        view.copy();
        QCOMPARE(QApplication::clipboard()->text(),
                 text.mid(10, 2 * LongLineView::kPieceLength - 2));
    }

    void anEditedTextJoinsItsPiecesAgain() {
        LongLineView view;
        const QString line(LongLineView::kPieceLength + 1, QChar(u'a'));
        view.setFullText(line + QStringLiteral("\nb"));
        QTextCursor cursor(view.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("c"));
        QCOMPARE(view.fullText(), line + QStringLiteral("\nbc"));
    }

    void shortLinesAreShownAsTheyAre() {
        LongLineView view;
        const QString text =
            QString(LongLineView::kPieceLength, QChar(u'a')) + QStringLiteral("\nb");
        view.setFullText(text);
        QVERIFY(!view.showsBrokenLines());
        QCOMPARE(view.toPlainText(), text);
        QCOMPARE(view.fullText(), text);
    }

    void aSurrogatePairIsNeverSplit() {
        LongLineView view;
        QString line(LongLineView::kPieceLength - 1, QChar(u'a'));
        line += QString::fromUtf8("😀");  // a pair across the piece's end
        line += QStringLiteral("bb");
        view.setFullText(line);
        const QTextBlock first = view.document()->firstBlock();
        QCOMPARE(first.text().size(), LongLineView::kPieceLength - 1);
        QCOMPARE(view.fullText(), line);
    }
};

}  // namespace lct

QTEST_MAIN(lct::LongResultTest)
#include "long_result_window_test.moc"
