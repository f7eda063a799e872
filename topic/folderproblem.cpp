#include "folderproblem.h"

#include "storage/systemerror.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <optional>

#include <unistd.h>

namespace {

// Nothing when the folder serves; else the reason it does not, empty when it
// is not there at all. access() asks the server what this account may do,
// which the permission bits alone do not tell.
std::optional<QString> whyNot(const QString &folder, FolderProblem::Need need)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return info.exists() ? SystemError::text(ENOTDIR) : QString();
    // Writing needs no listing: a drop box (3773) lets a pupil add, not read.
    const int mode = X_OK | (need == FolderProblem::Need::Write ? W_OK : R_OK);
    if (::access(QFile::encodeName(folder).constData(), mode) != 0)
        return SystemError::text(errno);
    return std::nullopt;
}

QString problem(const QString &folder, FolderProblem::Need need, const QString &missing, const QString &refused)
{
    if (folder.isEmpty())
        return QString();
    const std::optional<QString> reason = whyNot(folder, need);
    if (!reason)
        return QString();
    const QString shown = QDir::toNativeSeparators(folder);
    return reason->isEmpty() ? missing.arg(shown) : refused.arg(shown, *reason);
}

} // namespace

QString FolderProblem::ofTopics(const QString &folder, Need need)
{
    return problem(folder, need, QStringLiteral("Папка тем класса не найдена: %1"),
                   QStringLiteral("Папка тем класса недоступна: %1 (%2)"));
}

QString FolderProblem::ofResults(const QString &folder, Need need)
{
    // The teacher's own words for both: the folder cannot take the results.
    return problem(folder, need, QStringLiteral("Папка результатов недоступна: %1 (такой папки нет)"),
                   QStringLiteral("Папка результатов недоступна: %1 (%2)"));
}
