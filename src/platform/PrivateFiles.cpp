#include "platform/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace glidra {

namespace {

QString reason(const QString& path, int error) {
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

void tighten(const QString& path, QStringList& failures) {
    const QByteArray native = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(native.constData(), &status) != 0) {
        if (errno != ENOENT) failures.push_back(reason(path, errno));
        return;
    }
    // A link's target may be anyone's; its own mode means nothing.
    if (S_ISLNK(status.st_mode) || (status.st_mode & 077) == 0) return;
    if (::chmod(native.constData(), status.st_mode & 07700) != 0) failures.push_back(reason(path, errno));
}

// QSaveFile's temporary name: the file's name, a dot and six letters or
// digits.
bool isInterruptedSave(const QString& entry, const QString& name) {
    if (entry.size() != name.size() + 7 || !entry.startsWith(name) || entry.at(name.size()) != QLatin1Char('.')) {
        return false;
    }
    for (qsizetype i = name.size() + 1; i < entry.size(); ++i) {
        const QChar c = entry.at(i);
        if (c.unicode() > 0x7f || !c.isLetterOrNumber()) return false;
    }
    return true;
}

}  // namespace

bool makePrivateFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir()) return true;
    if (!QDir().mkpath(info.absolutePath())) return false;
    if (::mkdir(QFile::encodeName(info.absoluteFilePath()).constData(), 0700) != 0 && errno != EEXIST) return false;
    return QFileInfo(folder).isDir();
}

QStringList tightenPrivateFile(const QString& path) {
    QStringList failures;
    const QFileInfo info(path);
    tighten(info.absolutePath(), failures);
    tighten(info.absoluteFilePath(), failures);
    return failures;
}

QStringList removeInterruptedSaves(const QString& path) {
    QStringList failures;
    const QFileInfo info(path);
    const QString name = info.fileName();
    const QDir folder = info.absoluteDir();
    const QStringList candidates =
        folder.entryList({name + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : candidates) {
        if (!isInterruptedSave(entry, name)) continue;
        QFile copy(folder.filePath(entry));
        if (!copy.remove()) failures.push_back(copy.fileName() + QStringLiteral(": ") + copy.errorString());
    }
    return failures;
}

}  // namespace glidra
