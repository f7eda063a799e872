#pragma once

#include "topicfile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

// The two tables the save tests go between, and a save run in a child
// process that strace kills at a chosen system call.
namespace TopicTables {

inline QVector<TopicPair> oldPairs()
{
    QVector<TopicPair> pairs;
    for (int row = 0; row < 18; ++row)
        pairs.append({QStringLiteral("Вопрос %1").arg(row), QStringLiteral("Ответ %1").arg(row)});
    return pairs;
}

// Rows 5 and 6 moved: with new questions against old answers every count
// still matches, and only the pairing is wrong.
inline QVector<TopicPair> newPairs()
{
    QVector<TopicPair> pairs = oldPairs();
    std::swap(pairs[5], pairs[6]);
    return pairs;
}

// The exit code of the save child run on folder: 137 (killed) when strace
// struck at the n-th call of syscall; -1 when it could not be run.
inline int saveKilledAt(const QString &child, const QString &folder, const QString &syscall, int n)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        return -1;
    QProcess process;
    // LeakSanitizer cannot run under a tracer; the sanitizer build's child
    // would fail at every normal end.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    process.setProcessEnvironment(environment);
    process.start(strace,
                  {QStringLiteral("-qq"), QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-e"),
                   QStringLiteral("trace=") + syscall, QStringLiteral("-e"),
                   QStringLiteral("inject=%1:error=EIO:signal=SIGKILL:when=%2").arg(syscall).arg(n), child, folder});
    if (!process.waitForFinished(30000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 137;
}

} // namespace TopicTables
