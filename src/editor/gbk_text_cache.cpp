#include "editor/gbk_text_cache.h"

#include "editor/editor_text.h"
#include "encoding/gbk_codec.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace tavrin {

GbkTextCache::GbkTextCache(QPlainTextEdit* editor)
    : QObject(editor)
    , editor_(editor)
{
    connect(editor->document(), &QTextDocument::contentsChanged, this, [this] { text_.reset(); });
}

const GbkText& GbkTextCache::text()
{
    if (!text_)
        text_.emplace(encodeGbk(editorText(editor_)));
    return *text_;
}

} // namespace tavrin
