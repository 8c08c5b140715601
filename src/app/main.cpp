#include "mainwindow/FileDialogChooser.h"
#include "mainwindow/MessageBoxPrompter.h"
#include "mainwindow/TApplication.h"
#include "mainwindow/TFmMain.h"
#include "platform/KavorError.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

int main(int argc, char* argv[]) {
    TApplication app(argc, argv);
    // Every text of the program is Russian, so the buttons and questions of Qt's own dialogs are too.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);

    MessageBoxPrompter prompter;
    app.setReporter(&prompter);
    try {
        FileDialogChooser files;
        TFmMain window(prompter, files, QCoreApplication::applicationDirPath());
        prompter.setParent(&window);
        files.setParent(&window);
        window.move(window.screen()->availableGeometry().center() - window.rect().center());
        window.show();
        return app.exec();
    } catch (const KavorError& e) {
        prompter.showError(e.text()); // the window could not be set up
    }
    return 1;
}
