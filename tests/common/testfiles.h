#ifndef KESTREL_TESTS_COMMON_TESTFILES_H
#define KESTREL_TESTS_COMMON_TESTFILES_H

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

// Whole-file reads and writes for the tests. They return what happened instead of checking it, so
// that a failure shows at the caller's check.

// The content, or an empty array when the file cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file (making its folder first); true when all of `content` was written.
inline bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

#endif // KESTREL_TESTS_COMMON_TESTFILES_H
