// Registry access through text key paths ("HKLM\Software\Key"): keys, string, double-word
// and binary values (binary data as hexadecimal text), and REGEDIT4 export and import.
// Registry failures come back as 0, -1, false or the caller's default, never as errors.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QObject;

namespace platform
{
class AtomicFileWrite;
}

class clsRegistryAccess
{
public:
    clsRegistryAccess() = default;

    void setCreateKeyIfDoesntExists(bool offon);
    bool CreateKeyIfDoesntExists() const;

    // Results named "handle value" are the number of the key handle used (already closed):
    // non-zero on success, 0 on failure.
    qint32 CreateKey(QString sPath);
    qint32 KillKey(QString sPath);
    bool KeyExists(QString sPath);
    qint32 EnumKeys(QString sPath, QStringList &Key);
    bool HaveSubkey(QString sPath);
    qint32 WriteString(QString sPath, QString sName, QString sValue);
    QString ReadString(QString sPath, QString sName, const QString &sDefault = QString());
    qint32 WriteDWORD(QString sPath, QString sName, qint32 lValue);
    qint32 ReadDWORD(QString sPath, QString sName, const qint32 &lDefault = 0);
    qint32 WriteBinary(QString sPath, QString sName, QString sValue);
    QString ReadBinary(QString sPath, QString sName, const QString &sDefault = QString());
    qint32 KillValue(QString sPath, QString sName);
    bool ValueExists(QString sPath, QString sName);
    // Strings come back as QString, double words as qint32, binary data as hexadecimal
    // text, other types as an empty QVariant. OnlyType -1 lists every type.
    qint32 EnumValues(QString sPath, QStringList &sName, QVariantList &sValue, const qint32 &OnlyType = -1);
    // Output, when given, is a text box whose "Text" shows each key before it is written.
    qint32 ExportToReg(QString sPath, QString sRegFile, const bool &IncludeSubkeys = true,
                       QObject *Output = nullptr);
    qint32 ImportFromReg(QString sRegFile);
    QByteArray StrToBin(QString &sBin);
    QString BinToStr(const QByteArray &sStr);
    bool isBinValid(QString sBin);

private:
    quint32 ParseKeyPath(QString &sPath);
    bool ExportKeyToReg(QString sPath, platform::AtomicFileWrite &sRegFile, bool IncludeSubkeys,
                        QObject *Output);
    qint32 WriteValue(QString sPath, const QString &sName, quint32 type, const QByteArray &data);
    // Reads a value into buffer, whose size is the room offered; on success or MoreData
    // the buffer is resized to the value's size. Returns the registry's result.
    long QueryData(QString sPath, const QString &sName, QByteArray &buffer);

    bool m_createKeyIfDoesntExists = true;
    // Working state of the current operation.
    quint32 m_rootKey = 0;
    QString m_subKey;
    quint32 m_key = 0;
};
