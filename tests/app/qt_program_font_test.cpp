// The program's font draws Chinese in Simplified forms under any locale (the
// test runs under LC_ALL=C, where fontconfig alone picks a Japanese face).
#include <QApplication>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>

#include "app/qt_program_font.h"

class ProgramFontTest : public QObject {
    Q_OBJECT
  private slots:
    void everyGlyphComesFromTheSimplifiedFace();
};

void ProgramFontTest::everyGlyphComesFromTheSimplifiedFace() {
    const QString simplified = QStringLiteral("Noto Sans CJK SC");
    if (!QFontDatabase::families().contains(simplified)) QSKIP("fonts-noto-cjk is not installed");
    QTextLayout layout(QStringLiteral("文件过滤：*.txt"),
                       lct::withSimplifiedChineseFamilies(QApplication::font()));
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    QVERIFY(!runs.isEmpty());
    for (const QGlyphRun& run : runs) QCOMPARE(run.rawFont().familyName(), simplified);
}

QTEST_MAIN(ProgramFontTest)
#include "qt_program_font_test.moc"
