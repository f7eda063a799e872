#include "systemerror.h"

#include <cerrno>
#include <cstring>

QString SystemError::text(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("на диске нет места");
    case EDQUOT:
        return QStringLiteral("исчерпана дисковая квота");
    case EFBIG:
        return QStringLiteral("файл больше, чем разрешено записывать");
    case EACCES:
        return QStringLiteral("нет прав на запись или чтение");
    case EPERM:
        return QStringLiteral("действие запрещено (нет прав, или файл защищён от изменений)");
    case EROFS:
        return QStringLiteral("диск или папка открыты только для чтения");
    case EIO:
        return QStringLiteral("ошибка чтения или записи на диске");
    case ENOENT:
        return QStringLiteral("такой папки или файла нет");
    case ENOTDIR:
        return QStringLiteral("это не папка");
    case EISDIR:
        return QStringLiteral("на этом месте папка");
    case ELOOP:
        return QStringLiteral("на этом месте символическая ссылка");
    case EEXIST:
        return QStringLiteral("файл с таким именем уже есть");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("файл занят другой программой");
    case ESTALE:
        return QStringLiteral("файл на сервере изменился или удалён");
    // A network folder: the file server or the way to it.
    case ENOTCONN:
        return QStringLiteral("нет связи с файловым сервером (сетевая папка отключена)");
    case ETIMEDOUT:
        return QStringLiteral("файловый сервер не ответил вовремя");
    case EHOSTDOWN:
        return QStringLiteral("файловый сервер выключен");
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ENETDOWN:
        return QStringLiteral("файловый сервер недоступен по сети");
    case ECONNABORTED:
        return QStringLiteral("связь с файловым сервером прервана");
    case ECONNRESET:
        return QStringLiteral("файловый сервер разорвал связь");
    case ECONNREFUSED:
        return QStringLiteral("файловый сервер отказал в соединении");
    case ENOTSUP:
        return QStringLiteral("файловая система этого не умеет");
    default:
        return QStringLiteral("%1 (код %2)").arg(QString::fromLocal8Bit(std::strerror(error))).arg(error);
    }
}

QString SystemError::about(const QString &action, const QString &file, int error)
{
    return QStringLiteral("Не удалось %1 %2: %3.").arg(action, file, text(error));
}
