#pragma once

#include "editor/gbk_search.h"

#include <QObject>

#include <optional>

class QPlainTextEdit;

namespace tavrin {

// The editor's text as GBK bytes, encoded once and kept until the text changes,
// so that repeated searches and counts on a long transcript cost no re-encoding.
class GbkTextCache : public QObject {
    Q_OBJECT
public:
    explicit GbkTextCache(QPlainTextEdit* editor);

    const GbkText& text();

private:
    QPlainTextEdit* editor_;
    std::optional<GbkText> text_;
};

} // namespace tavrin
