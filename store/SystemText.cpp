#include "store/SystemText.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// The errors a user meets when writing files, and what to do about each.
const std::pair<int, const char*> russianTexts[] = {
    {EACCES, "нет прав на запись или чтение"},
    {EPERM, "действие запрещено (нет прав, или файл или папка защищены от изменений)"},
    {EROFS, "файловая система доступна только для чтения"},
    {ENOSPC, "нет места на диске"},
    {EDQUOT, "исчерпана дисковая квота"},
    {EFBIG, "файл больше, чем разрешено (предел размера файла)"},
    {ENOENT, "нет такого файла или папки"},
    {ENOTDIR, "часть пути — не папка"},
    {EISDIR, "это папка, а не файл"},
    {ENAMETOOLONG, "слишком длинное имя файла"},
    {EMFILE, "открыто слишком много файлов"},
    {EIO, "ошибка ввода-вывода (диск неисправен?)"},
    {EBUSY, "файл занят"},
    {ETXTBSY, "файл занят"},
    {EXDEV, "файлы на разных дисках"},
    {ELOOP, "слишком много символьных ссылок"},
    {EEXIST, "файл уже есть"},
};

}  // namespace

QString systemErrorText(int error) {
    for (const auto& [number, text] : russianTexts)
        if (number == error)
            return QString::fromUtf8(text);
    return QString::fromLocal8Bit(std::strerror(error));
}

QString russianSystemText(const QString& text) {
    QString result = text;
    for (const auto& [number, russian] : russianTexts) {
        const QString english = QString::fromLocal8Bit(std::strerror(number));
        if (result.contains(english))
            result.replace(english, QString::fromUtf8(russian));
    }
    return result;
}
