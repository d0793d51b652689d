#include "export/libzip_library.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace tavrin {

namespace {

constexpr char kLibraryName[] = "libzip.so.4";

struct Loaded {
    LibZip api{};
    std::string error;
};

template <typename Function> void resolve(void* library, const char* name, Function& function, std::string& error)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function && error.empty())
        error = std::string("libzip 缺少函数 ") + name;
}

Loaded load()
{
    Loaded loaded;
    void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        loaded.error = std::string("无法加载压缩组件 ") + kLibraryName
            + "（导出 Word 和 OpenDocument 文档需要它，请安装 libzip4）：" + (reason ? reason : "");
        return loaded;
    }
    LibZip& api = loaded.api;
    std::string& error = loaded.error;
    resolve(library, "zip_error_init", api.errorInit, error);
    resolve(library, "zip_error_fini", api.errorFini, error);
    resolve(library, "zip_error_strerror", api.errorText, error);
    resolve(library, "zip_source_buffer_create", api.bufferSource, error);
    resolve(library, "zip_source_buffer", api.partSource, error);
    resolve(library, "zip_source_function", api.functionSource, error);
    resolve(library, "zip_source_keep", api.keep, error);
    resolve(library, "zip_source_free", api.freeSource, error);
    resolve(library, "zip_source_open", api.openSource, error);
    resolve(library, "zip_source_stat", api.statSource, error);
    resolve(library, "zip_source_read", api.readSource, error);
    resolve(library, "zip_source_close", api.closeSource, error);
    resolve(library, "zip_source_error", api.sourceError, error);
    resolve(library, "zip_open_from_source", api.openFromSource, error);
    resolve(library, "zip_file_add", api.addFile, error);
    resolve(library, "zip_set_file_compression", api.setCompression, error);
    resolve(library, "zip_get_error", api.archiveError, error);
    resolve(library, "zip_close", api.close, error);
    resolve(library, "zip_discard", api.discard, error);
    // The library stays loaded for the rest of the run.
    return loaded;
}

} // namespace

const LibZip& loadLibZip()
{
    static const Loaded loaded = load();
    if (!loaded.error.empty())
        throw std::runtime_error(loaded.error);
    return loaded.api;
}

} // namespace tavrin
