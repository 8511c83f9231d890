#include "app/ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace varnel {

QTranslator* InstallQtTranslations(const QLocale& locale) {
    if (QCoreApplication::instance() == nullptr) return nullptr;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(QCoreApplication::instance());
    // "qt" is the catalogue that pulls in those of every Qt module.
    if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"), folder) &&
        !translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"), QStringLiteral("_"),
                          folder)) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

}  // namespace varnel
