#pragma once

#include "data/IniFile.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace velmora::test {

// A throw-away deployment folder laid out like the one beside the executable
// (dat/, status/, chk_verup/). While it lives, the data paths point into it,
// so readers, the decoder and the window work on it instead of the build's
// sample deployment, which tests must never modify.
class TempDeployment
{
public:
    TempDeployment();
    ~TempDeployment();
    TempDeployment(const TempDeployment&) = delete;
    TempDeployment& operator=(const TempDeployment&) = delete;

    bool isValid() const;
    // Both with a trailing separator.
    QString exeDir() const;
    QString dataDir() const;
    // Absolute path of a file relative to the exe folder ("dat/DT19").
    QString path(const QString& relative) const;

    // Raw bytes at a path relative to the exe folder; folders are created.
    void writeBytes(const QString& relative, const QByteArray& bytes) const;
    // A working file in dat/: UTF-16LE text without a byte-order mark.
    void writeWorking(const QString& fileName, const QString& text) const;
    // A shipped table in dat/: UTF-16LE text, scrambled with the project's routine.
    void writeScrambled(const QString& fileName, const QString& text) const;
    // The text of a shipped table in dat/, unscrambled (byte-order mark dropped).
    QString readScrambled(const QString& fileName) const;
    // An INI file at a path relative to the exe folder, in the given encoding.
    void writeIni(const QString& relative, const QString& text,
                  velmora::data::IniEncoding encoding = velmora::data::IniEncoding::Cp932) const;
    QByteArray readBytes(const QString& relative) const;
    bool exists(const QString& relative) const;
    void remove(const QString& relative) const;
    // The file names in dat/, sorted.
    QStringList dataFiles() const;

    // Copies the sample deployment built beside the executables (dat/,
    // status/, chk_verup/) into this folder.
    void copySampleDeployment() const;

    static QByteArray utf16le(const QString& text);
    // The build's sample deployment folder (read only for tests).
    static QString sampleDeploymentDir();

private:
    QTemporaryDir m_dir;
};

} // namespace velmora::test
