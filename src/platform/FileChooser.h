#pragma once

#include <QString>
#include <QStringList>

// Asks a person for a file to open or to save into. Windows implement it with file dialogs; tests answer
// from a script.
class FileChooser {
public:
    struct Request {
        // The name the dialog opens with; empty for none.
        QString fileName;
        // Added to a typed name that has no extension.
        QString defaultSuffix;
        // In Qt's form, e.g. "Файлы конфигурации (*.kcf)"; the first one is chosen.
        QStringList filters;
    };

    virtual ~FileChooser() = default;

    // An existing file, or empty when the person cancels.
    virtual QString openFileName(const Request& request) = 0;
    // A file in an existing folder, confirmed by the person if it exists already; empty when they cancel.
    virtual QString saveFileName(const Request& request) = 0;
};
