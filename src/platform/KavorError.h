#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The one exception type of the system: it carries the Russian text that the boundary of an operation
// (file, programming, device link, configuration search) shows to the user before returning false.
class KavorError : public std::exception {
public:
    explicit KavorError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}

    const QString& text() const noexcept { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};
