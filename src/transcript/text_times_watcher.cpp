#include "transcript/text_times_watcher.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

namespace tavrin {

TextTimesWatcher::TextTimesWatcher(QTextDocument* document, QObject* parent)
    : QObject(parent)
{
    // QTextDocument tells where it changed only once it has a layout; an
    // editor's document has its own already.
    document->documentLayout();
    connect(document, &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) { times_.change(position, removed, added); });
}

} // namespace tavrin
