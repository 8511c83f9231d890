#include "app/ui/qt_translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <gtest/gtest.h>

#include "support/qt_app.h"

namespace varnel {
namespace {

// The file dialog's own buttons come in the user's language; a locale Qt has no
// catalogue for gets the program's Chinese.
TEST(QtTranslations, QtsOwnTextsFollowTheLocale) {
    testing::TestApplication();
    const QString english = QStringLiteral("&Open");
    for (const QLocale& locale : {QLocale(QLocale::Chinese, QLocale::China), QLocale(QLocale::Zulu, QLocale::SouthAfrica)}) {
        QTranslator* translator = InstallQtTranslations(locale);
        ASSERT_NE(translator, nullptr) << locale.name().toStdString();
        const QString shown = QCoreApplication::translate("QFileDialog", "&Open");
        EXPECT_NE(shown, english);
        EXPECT_TRUE(shown.contains(QString::fromUtf8("打开"))) << shown.toStdString();
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), english);
    // A locale Qt speaks is taken as it is.
    QTranslator* german = InstallQtTranslations(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_NE(german, nullptr);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("&Öffnen"));
    QCoreApplication::removeTranslator(german);
    delete german;
}

}  // namespace
}  // namespace varnel
