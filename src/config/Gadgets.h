#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Small stateless conversions between the texts the configuration store keeps and the packed forms of
// memory images, device commands and files. None raises; bad input is reported through the result.

// Phone numbers, one digit code per byte: 0-9, "*" = 11, "#" = 12, "W" = 15, 0xFF ends the number.
bool PhoneToDigits(const QString& text, quint8* buf, int size);
bool IsValidPhone(const QString& text, int size);
QString DigitsToPhone(const quint8* bytes, int count);

// IPv4 address as four bytes in text order; the empty text is four zero bytes.
bool TextToAddress(const QString& text, quint8* buf);
QString AddressToText(const quint8* bytes);

// The four-digit identifier, one digit code per byte (digit 0 stored as 10).
bool TextToIdent(const QString& text, quint8* buf);
QString IdentToText(const quint8* bytes);

// Takes the first number of a comma-separated list off `text`; -1 when it is not a number.
int TakeNumber(QString& text);

// The system's message text for the calling thread's last error code.
QString LastErrorText();

// The scrambler of configuration files and stored firmware images. Its constants are fixed forever.
quint8 ScrambleByte(quint8 x);
quint8 UnscrambleByte(quint8 y);
// Writes n + 1 bytes (the last one a check byte) for n >= 3 input bytes.
void ScrambleBlock(quint8* out, const quint8* in, int n);
// Reads n + 1 bytes, writes n; true when the check byte matches. The output is complete either way.
bool UnscrambleBlock(const quint8* in, quint8* out, int n);

// Windows-1251, the 8-bit text of every byte boundary (files, device lines, images, tool output).
bool IsCp1251Text(const QString& text);
// Characters Windows-1251 cannot represent become "?"; callers validate with IsCp1251Text first.
QByteArray ToCp1251(const QString& text);
QString FromCp1251(const QByteArray& bytes);
QString FromCp1251(const char* bytes, int count);

// The integer conversion of the design: optionally signed decimal text, or hexadecimal after "$" or "0x"; no
// blanks, within the range of int. False, leaving `value` alone, otherwise.
bool TextToInt(const QString& text, int& value);
