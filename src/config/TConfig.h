#pragma once

#include "config/ParamTable.h"
#include "config/TConfigLine.h"

#include <QList>
#include <QStringList>

class Prompter;

// Sizes of the first-generation memory image blocks and the layout version the system writes.
constexpr int MainBlockSize = 167;
constexpr int ExtBlockSize = 37;
constexpr int ImageLayoutVersion = 70;

// One configuration: the value and access level of every parameter of one device generation, keyed by
// the catalogue code, in catalogue order.
class TConfig {
public:
    // 0 = first generation ("Kavor"), anything else = second generation ("Kavor-II").
    int DeviceType() const { return m_deviceType; }
    quint32 Mask() const { return GenerationMask(m_deviceType); }
    const QList<TConfigLine>& Lines() const { return m_lines; }

    // Switches the generation, leaving every parameter blank at level 0; false when it is already that.
    bool SetDeviceType(int type);
    // The trimmed value of a line found by code ignoring case; empty, level 0, when there is none.
    QString GetValue(const QString& code, int* level = nullptr) const;
    bool SetAccess(const QString& code, int level);
    // Validates the value by the row's kind and stores it with the level; false changes nothing.
    bool SetValue(const QString& code, const QString& value, int level);
    const TParamDesc* FindParam(const QString& code, int index) const;

    // Configuration files. Failures are shown through the prompter and give false; a failed load leaves
    // the store, the password and the fixed flag untouched.
    bool SaveToFile(const QString& path, bool fixed, const QString& password, Prompter& prompter) const;
    bool LoadFromFile(const QString& path, QString& password, bool& fixed, Prompter& prompter);

    // First-generation memory image. Both raise KavorError("Недопустимая конфигурация") for the second
    // generation. ToImage writes the layout of ImageLayoutVersion and returns false on the first value
    // its field cannot hold.
    void FromImage(bool fromDevice, const quint8* mainBlock, int version, const quint8* simByte,
                   const quint8* extBlock);
    bool ToImage(quint8* mainBlock, quint8* extBlock, quint8* simByte) const;
    // The built-in default configuration of the first generation.
    void LoadDefaultImage();

    // Second-generation commands: base codes to read, a reply's value text into the store, and the
    // "BASE=value" lines to write. GetWriteList raises KavorError for an identifier or bit value that
    // does not convert.
    void GetReadCodes(QStringList& list) const;
    bool ApplyReply(const QString& code, QString reply);
    void GetWriteList(QStringList& list) const;

private:
    // Every coded row of the generation, blank, at level 0, in catalogue order.
    void resetLines(int type);
    int indexOf(const QString& code) const;
    // Assigns a value the way the device and image decoders do: an empty value becomes a single blank,
    // a missing line is appended at level 0, an existing line keeps its level.
    void assignValue(const QString& code, const QString& value);

    QList<TConfigLine> m_lines;
    int m_deviceType = 0;
};
