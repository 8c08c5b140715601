#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Value kinds of a catalogue row. Value 3 is not used.
enum TParamKind : int {
    pkNumber = 0,
    pkChoice = 1,
    pkText = 2,
    pkAddress = 4,
    pkIdent = 5,
};

// Row flags; bits 16 and 17 say which generations have the row.
enum TParamFlag : quint32 {
    pfInvert = 0x1,   // numbers: the image holds 9 minus the value
    pfHours = 0x2,    // numbers: the image holds seconds, the store whole hours
    pfReadOnly = 0x4, // comes only from the device: never edited, written to a device or saved
    pfPhone = 0x8,    // text is a phone number
    pfBit = 0x10,     // second generation: one bit of a bit mask sent under the base code
    pfApn = 0x20,     // text: in the image "$" stands for "internet"
    pfMax99 = 0x40,   // one-byte numbers: upper limit 99 instead of 255
    pfGen1 = 0x10000, // the row exists in the first generation
    pfGen2 = 0x20000, // the row exists in the second generation
};

// Where a first-generation value lives in the memory image.
enum TParamBlock : int {
    pbExtension = 0,
    pbMain = 1,
    pbSimByte = 2,
};

// One catalogue row. Texts are UTF-8 literals; the separator rows have an empty Name and no Code,
// the terminating record has no Name at all.
struct TParamDesc {
    const char* Name;
    const char* Choices; // CR-separated choice texts, empty when the row has no list
    int Size;
    int Kind;
    int Block;
    int MinVersion;
    int Offset;
    const char* Code;
    quint32 Flags;

    QString name() const { return QString::fromUtf8(Name); }
    QString code() const { return Code ? QString::fromLatin1(Code) : QString(); }
    QStringList choices() const;
    bool isSeparator() const { return Name && !*Name; }
    bool has(quint32 flag) const { return (Flags & flag) != 0; }
};

// The catalogue of both generations: 87 rows in their significant order, then the terminating record.
extern const TParamDesc ParamTable[];
constexpr int ParamTableRows = 87;

// The generation mask of a configuration of the given device type.
constexpr quint32 GenerationMask(int deviceType) {
    return deviceType == 0 ? pfGen1 : pfGen2;
}

// The first row taking part in the generation whose code begins with `code` (index 0) or equals
// `code` + "-" + index (index above 0); null when none does.
const TParamDesc* FindParam(quint32 mask, const QString& code, int index);
