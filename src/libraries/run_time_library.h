#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tavrin {

// What a library opened at run time is to the user, for the one message that
// tells why it cannot be used.
struct LibraryNeed {
    QString name;      // what it is: "播放组件"
    QStringList files; // its files, sonames or full paths, each opened (FFmpeg is several)
    QString remedy;    // what puts it right: "请安装 libmpv2。"
};

// A shared library opened at run time instead of linked: the large or optional
// ones (libmpv, FFmpeg, libzip, the speech engine), which would otherwise hold
// up every start, or stop the program where one is missing. A loader opens one
// with its need, then takes its functions by name, a table of them; any failure
// is told the same way, naming the library and what to install.
class RunTimeLibrary {
public:
    // Opens every file of `need`; they stay open for the rest of the run.
    explicit RunTimeLibrary(LibraryNeed need);

    // Puts the function `name` into `function`, from the first file that has it;
    // null, and told by problem(), when none has it or a file did not open.
    template <typename Function> void take(const char* name, Function& function)
    {
        function = reinterpret_cast<Function>(find(name));
    }

    // Records a failure the loader finds itself (a version it cannot use).
    void refuse(const QString& reason);

    // Empty when every file opened and every function was found; otherwise, in
    // Chinese, the first failure, the library it is in and the remedy:
    //   无法加载播放组件（libmpv.so.2）：<the system's reason>。请安装 libmpv2。
    //   播放组件（libmpv.so.2）缺少函数 mpv_create。请安装 libmpv2。
    const QString& problem() const { return problem_; }

private:
    void* find(const char* name);
    void fail(const QString& what);

    LibraryNeed need_;
    std::vector<void*> handles_;
    QString problem_;
};

} // namespace tavrin
