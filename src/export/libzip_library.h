#pragma once

#include <zip.h>

namespace tavrin {

// The libzip functions the Word and OpenDocument exports use, resolved at run time: libzip brings
// OpenSSL's libcrypto along, which every start of the program would otherwise
// load for an export most runs never make.
struct LibZip {
    decltype(&::zip_error_init) errorInit;
    decltype(&::zip_error_fini) errorFini;
    decltype(&::zip_error_strerror) errorText;
    decltype(&::zip_source_buffer_create) bufferSource;
    decltype(&::zip_source_buffer) partSource;
    decltype(&::zip_source_function) functionSource;
    decltype(&::zip_source_keep) keep;
    decltype(&::zip_source_free) freeSource;
    decltype(&::zip_source_open) openSource;
    decltype(&::zip_source_stat) statSource;
    decltype(&::zip_source_read) readSource;
    decltype(&::zip_source_close) closeSource;
    decltype(&::zip_source_error) sourceError;
    decltype(&::zip_open_from_source) openFromSource;
    decltype(&::zip_file_add) addFile;
    decltype(&::zip_set_file_compression) setCompression;
    decltype(&::zip_get_error) archiveError;
    decltype(&::zip_close) close;
    decltype(&::zip_discard) discard;
};

// Loads libzip once (thread-safe); throws std::runtime_error, in Chinese, when
// the library or one of its functions is missing.
const LibZip& loadLibZip();

} // namespace tavrin
