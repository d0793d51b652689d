#include "libraries/run_time_library.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

#include <utility>

namespace tavrin {

RunTimeLibrary::RunTimeLibrary(LibraryNeed need)
    : need_(std::move(need))
{
    for (const QString& file : std::as_const(need_.files)) {
        // A full path that is not there says so plainly; the loader's own reason
        // for a missing file is in English and names no remedy.
        if (QFileInfo(file).isAbsolute() && !QFileInfo::exists(file)) {
            fail(QStringLiteral("找不到%1（%2）").arg(need_.name, file));
            return;
        }
        void* handle = dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* reason = dlerror();
            fail(QStringLiteral("无法加载%1（%2）：%3")
                     .arg(need_.name, file, QString::fromLocal8Bit(reason ? reason : "")));
            return;
        }
        handles_.push_back(handle);
    }
}

void* RunTimeLibrary::find(const char* name)
{
    if (!problem_.isEmpty())
        return nullptr; // the first failure is the one told
    for (void* handle : handles_)
        if (void* function = dlsym(handle, name))
            return function;
    fail(QStringLiteral("%1（%2）缺少函数 %3").arg(need_.name, need_.files.join(u'、'), QString::fromLatin1(name)));
    return nullptr;
}

void RunTimeLibrary::refuse(const QString& reason)
{
    if (problem_.isEmpty())
        fail(QStringLiteral("%1（%2）%3").arg(need_.name, need_.files.join(u'、'), reason));
}

void RunTimeLibrary::fail(const QString& what)
{
    problem_ = what + u'。' + need_.remedy;
}

} // namespace tavrin
