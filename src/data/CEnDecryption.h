#pragma once

#include <QString>
#include <QStringList>

// Turns the scrambled master tables ("E..." files in the data folder) into
// plain working files ("D..." beside them) and removes those again. The
// routine is its own inverse, so the same code scrambles the shipped files.
class CEnDecryption
{
public:
    // The keys in the order they are decoded; a lookup runs just before each
    // decode, when the working files of earlier keys already exist.
    static const QStringList& ScrambledKeys();
    static constexpr unsigned char SeedByte = 0xA7;
    static constexpr unsigned char StepByte = 0x3D;

    CEnDecryption();
    ~CEnDecryption();
    CEnDecryption(const CEnDecryption&) = delete;
    CEnDecryption& operator=(const CEnDecryption&) = delete;

    void DecryptDataFiles();
    void DecryptFile(const QString& path);
    void DeleteWorkFiles();

    const QStringList& WorkFiles() const { return workFiles; }
    // The working file of a scrambled file: its key with "D" for "E", and
    // ".dat", whatever else the shipped name holds, so that the readers'
    // lookup by key always finds it.
    static QString WorkFileName(const QString& scrambledName);

    // Applies the routine to a whole buffer; an odd trailing byte is treated
    // like the first byte of a unit.
    static QByteArray Transform(const QByteArray& input);
    // Applies the routine from one file to another; false when either file fails.
    static bool TransformFile(const QString& from, const QString& to, QString* error = nullptr);

private:
    QString exeDirectory;
    QStringList workFiles;
};
