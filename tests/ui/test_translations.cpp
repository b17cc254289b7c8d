// Qt's Japanese catalogue as the program installs it at start-up: the real
// message boxes of the program keep their button sets and answers and show Qt's
// standard buttons in Japanese, Qt's own print dialog speaks Japanese too, and a
// missing catalogue leaves everything in English without failing.
#include "ui/message_box.h"
#include "ui/translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

using tw::ui::Answer;
using tw::ui::Buttons;

Q_DECLARE_METATYPE(tw::ui::Buttons)
Q_DECLARE_METATYPE(tw::ui::Answer)

namespace {

// The texts of the buttons of the next modal box, which is then left with Escape.
QStringList buttonTextsOfNextBox(Buttons buttons, Answer* answer) {
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton* button : box->buttons())
            texts << button->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    *answer = tw::ui::showMessage(nullptr, QStringLiteral("終了しますか？"), buttons, QStringLiteral("【終了確認】"));
    texts.sort();
    return texts;
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

    QTranslator* japanese = nullptr;

private Q_SLOTS:
    void init() {
        japanese = tw::ui::installQtJapanese(*qApp);
        QVERIFY2(japanese, "qtbase_ja.qm is not in Qt's translations folder (package qt6-translations-l10n)");
    }
    void cleanup() {
        QCoreApplication::removeTranslator(japanese);
        delete japanese;
        japanese = nullptr;
    }

    void messageBoxesKeepTheirButtonsInJapanese_data() {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<Answer>("escape");
        QTest::newRow("OK") << Buttons::Ok << QStringList{"OK"} << Answer::Ok;
        QTest::newRow("OK and Cancel") << Buttons::OkCancel << QStringList{"OK", "キャンセル"} << Answer::Cancel;
        QTest::newRow("Yes and No") << Buttons::YesNo << QStringList{"いいえ(&N)", "はい(&Y)"} << Answer::No;
    }
    void messageBoxesKeepTheirButtonsInJapanese() {
        QFETCH(Buttons, buttons);
        QFETCH(QStringList, texts);
        QFETCH(Answer, escape);
        Answer answer = Answer::Ok;
        QCOMPARE(buttonTextsOfNextBox(buttons, &answer), texts);
        QCOMPARE(answer, escape);
    }

    void printDialogIsJapanese() {
        QPrinter printer;
        QPrintDialog dialog(&printer);
        QStringList texts;
        QTimer::singleShot(0, [&] {
            for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
                texts << button->text();
            dialog.reject();
        });
        dialog.exec();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("印刷"));
        QVERIFY2(texts.contains(QStringLiteral("キャンセル")) && texts.contains(QStringLiteral("印刷(&P)")),
                 qPrintable(texts.join(" | ")));
    }

    // Without the catalogue (another folder, an empty one) nothing is installed
    // and Qt's wording stays English.
    void missingCatalogueKeepsEnglish() {
        cleanup();
        QTemporaryDir empty;
        QVERIFY(!tw::ui::installQtJapanese(*qApp, empty.path()));
        Answer answer = Answer::Ok;
        QCOMPARE(buttonTextsOfNextBox(Buttons::OkCancel, &answer), (QStringList{"Cancel", "OK"}));
        QCOMPARE(answer, Answer::Cancel);
    }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
