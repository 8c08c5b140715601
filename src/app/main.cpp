#include "mainwindow/FileDialogChooser.h"
#include "mainwindow/MessageBoxPrompter.h"
#include "mainwindow/TFmMain.h"
#include "platform/KavorError.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

namespace {

void report(const QString& text) {
    QMessageBox::critical(nullptr, QStringLiteral("Ошибка"), text);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
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
