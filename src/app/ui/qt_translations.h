// Qt's own texts (the buttons and labels of the file and folder dialogs, the
// standard buttons, the print preview) in the user's language, so they match the
// program's own Chinese texts. UI thread only, after the application is made.
#pragma once

class QLocale;
class QTranslator;

namespace varnel {

// Loads Qt's catalogue for `locale` and installs it on the application; where Qt
// has none for that locale, the Simplified Chinese one of the program's own texts.
// The translator belongs to the application; nullptr when no catalogue could load.
QTranslator* InstallQtTranslations(const QLocale& locale);

}  // namespace varnel
