#include "export/libzip_library.h"

#include "libraries/run_time_library.h"

#include <stdexcept>

namespace tavrin {

namespace {

struct Loaded {
    LibZip api{};
    QString problem;
};

Loaded load()
{
    RunTimeLibrary library({QStringLiteral("压缩组件"),
                            {QStringLiteral("libzip.so.4")},
                            QStringLiteral("导出 Word 和 OpenDocument 文档需要它，请安装 libzip4。")});
    Loaded loaded;
    LibZip& api = loaded.api;
    library.take("zip_error_init", api.errorInit);
    library.take("zip_error_fini", api.errorFini);
    library.take("zip_error_strerror", api.errorText);
    library.take("zip_source_buffer_create", api.bufferSource);
    library.take("zip_source_buffer", api.partSource);
    library.take("zip_source_function", api.functionSource);
    library.take("zip_source_keep", api.keep);
    library.take("zip_source_free", api.freeSource);
    library.take("zip_source_open", api.openSource);
    library.take("zip_source_stat", api.statSource);
    library.take("zip_source_read", api.readSource);
    library.take("zip_source_close", api.closeSource);
    library.take("zip_source_error", api.sourceError);
    library.take("zip_open_from_source", api.openFromSource);
    library.take("zip_file_add", api.addFile);
    library.take("zip_set_file_compression", api.setCompression);
    library.take("zip_get_error", api.archiveError);
    library.take("zip_close", api.close);
    library.take("zip_discard", api.discard);
    loaded.problem = library.problem();
    return loaded;
}

} // namespace

const LibZip& loadLibZip()
{
    static const Loaded loaded = load();
    if (!loaded.problem.isEmpty())
        throw std::runtime_error(loaded.problem.toStdString());
    return loaded.api;
}

} // namespace tavrin
