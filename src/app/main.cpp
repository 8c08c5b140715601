#include "mainwindow/FileDialogChooser.h"
#include "mainwindow/MessageBoxPrompter.h"
#include "mainwindow/TFmMain.h"
#include "platform/KavorError.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QScreen>
#include <QTranslator>

namespace {

void report(const QString& text) {
    QMessageBox::critical(nullptr, QStringLiteral("Ошибка"), text);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Every text of the program is Russian, so the buttons and questions of Qt's own dialogs are too.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);
    try {
        MessageBoxPrompter prompter;
        FileDialogChooser files;
        TFmMain window(prompter, files, QCoreApplication::applicationDirPath());
        prompter.setParent(&window);
        files.setParent(&window);
        window.move(window.screen()->availableGeometry().center() - window.rect().center());
        window.show();
        app.exec();
    } catch (const KavorError& e) {
        report(e.text());
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QString());
    }
    return 0;
}
