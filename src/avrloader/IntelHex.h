#pragma once

#include <QStringList>
#include <QtGlobal>

// Intel HEX text, one record per line: data records (type 00) of at most 16 bytes on 16-byte boundaries,
// extended segment address records (type 02) at offset 0 and at every 64 KiB, the end-of-file record last.

// Appends the records of `count` bytes of `buffer`; `baseAddress` is the address of the buffer's first byte.
void BinToHex(QStringList& hexText, const quint8* buffer, int count, int baseAddress);

// Stores the data of `hexText` into `buffer` (may be null: then the text is only checked and measured)
// and returns one past the highest address stored, 0 without data. Bytes no record covers keep their
// value. `lowAddress` and `highAddress`, when given, receive the lowest and highest address stored
// (`bufferSize` - 1 and 0 without data). Raises KavorError with the zero-based index of a bad line.
int HexToBin(const QStringList& hexText, quint8* buffer, int bufferSize, int* lowAddress = nullptr,
             int* highAddress = nullptr);
