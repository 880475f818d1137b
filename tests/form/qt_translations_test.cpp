// Qt's own texts in the program's language: Chinese for the C locale and for
// Chinese systems, the system's language otherwise.
#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>
#include <QtTest/QtTest>

#include "form/qt_translations.h"

namespace lct {

class QtTranslationsTest : public QObject {
    Q_OBJECT

    // The text of a standard Cancel button under Qt's translation for `locale`.
    static QString cancelButtonTextFor(const QLocale& locale, bool* loaded) {
        // Each case starts from Qt's own English texts.
        for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
        *loaded = installQtTranslations(*qApp, locale);
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Cancel)->text();
    }

  private slots:
    void theCLocaleMeansChinese() {
        QCOMPARE(programLocale(QLocale::c()).name(), QStringLiteral("zh_CN"));
        QCOMPARE(programLocale(QLocale(QStringLiteral("POSIX"))).name(), QStringLiteral("zh_CN"));
        QCOMPARE(programLocale(QLocale(QStringLiteral("de_DE"))).name(), QStringLiteral("de_DE"));
        QCOMPARE(programLocale(QLocale(QStringLiteral("zh_TW"))).name(), QStringLiteral("zh_TW"));
    }

    void standardButtonsSpeakTheLocalesLanguage_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("C gives Chinese") << QStringLiteral("C") << QStringLiteral("取消");
        QTest::newRow("simplified Chinese") << QStringLiteral("zh_CN") << QStringLiteral("取消");
        QTest::newRow("traditional Chinese") << QStringLiteral("zh_TW") << QStringLiteral("取消");
        QTest::newRow("German") << QStringLiteral("de_DE") << QStringLiteral("Abbrechen");
    }

    void standardButtonsSpeakTheLocalesLanguage() {
        QFETCH(QString, locale);
        QFETCH(QString, cancel);
        bool loaded = false;
        QString text = cancelButtonTextFor(programLocale(QLocale(locale)), &loaded);
        QVERIFY(loaded);
        QCOMPARE(text.remove(QLatin1Char('&')), cancel);
    }

    void withoutATranslationTheTextsStayEnglish() {
        bool loaded = true;
        QString text = cancelButtonTextFor(QLocale(QStringLiteral("sw_KE")), &loaded);
        QVERIFY(!loaded);
        QCOMPARE(text.remove(QLatin1Char('&')), QStringLiteral("Cancel"));
    }
};

}  // namespace lct

QTEST_MAIN(lct::QtTranslationsTest)
#include "qt_translations_test.moc"
