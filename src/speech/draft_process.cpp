#include "speech/draft_process.h"

#include "files/path_bytes.h"
#include "speech/draft_event.h"

#include <QDir>

#include <utility>

namespace tavrin {

QStringList draftHelperArguments(const QString& engineFolder, const DraftRequest& request)
{
    QStringList arguments{QStringLiteral("--engine"), engineFolder};
    if (!request.modelFolder.isEmpty()) {
        arguments << QStringLiteral("--model") << request.modelFolder << QStringLiteral("--language")
                  << request.language << QStringLiteral("--threads") << QString::number(request.threads);
        if (!request.punctuation)
            arguments << QStringLiteral("--no-punctuation");
        if (request.toSimplified)
            arguments << QStringLiteral("--to-simplified");
    }
    // Last, so that a recording whose name starts with a dash is never read as an option.
    return arguments << pathArgument(request.recording);
}

DraftProcess::DraftProcess(DraftPlaces places, QObject* parent)
    : QObject(parent)
    , places_(std::move(places))
{
}

DraftProcess::~DraftProcess()
{
    cancel();
}

void DraftProcess::start(const DraftRequest& request)
{
    cancel();
    toldEnd_ = false;
    process_ = new QProcess(this);
    // The engine's own lines go where the program's go: to the terminal it runs in.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process_, &QProcess::readyReadStandardOutput, this, &DraftProcess::readEvents);
    connect(process_, &QProcess::finished, this, &DraftProcess::processEnded);
    connect(process_, &QProcess::errorOccurred, this, &DraftProcess::processFailedToStart);
    process_->start(places_.helper, draftHelperArguments(places_.engineFolder, request));
}

void DraftProcess::cancel()
{
    if (!process_)
        return;
    QProcess* process = std::exchange(process_, nullptr);
    process->disconnect(this);
    process->kill();
    process->waitForFinished(5000);
    process->deleteLater();
}

void DraftProcess::readEvents()
{
    while (process_ && process_->canReadLine()) {
        const std::optional<DraftEvent> event = decodeDraftEvent(process_->readLine());
        if (!event)
            continue;
        switch (event->kind) {
        case DraftEvent::Kind::Started:
            Q_EMIT started(event->seconds);
            break;
        case DraftEvent::Kind::Progress:
            Q_EMIT progressed(event->seconds);
            break;
        case DraftEvent::Kind::Utterance:
            Q_EMIT utteranceFound(event->seconds, event->endSeconds, event->text, event->words);
            break;
        case DraftEvent::Kind::Finished:
            toldEnd_ = true;
            end();
            Q_EMIT finished();
            break;
        case DraftEvent::Kind::Failed:
            toldEnd_ = true;
            end();
            Q_EMIT failed(event->text);
            break;
        }
    }
}

void DraftProcess::processEnded(int exitCode, QProcess::ExitStatus status)
{
    readEvents(); // what it told before it ended
    if (!process_ || toldEnd_)
        return;
    end();
    const QString how = status == QProcess::CrashExit ? QStringLiteral("识别进程意外终止")
                                                      : QStringLiteral("识别进程意外退出（%1）").arg(exitCode);
    Q_EMIT failed(QStringLiteral("自动初稿没有完成：%1。已经生成的初稿保留在文稿中。").arg(how));
}

void DraftProcess::processFailedToStart(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || !process_)
        return;
    end();
    Q_EMIT failed(
        QStringLiteral("找不到自动初稿程序（%1）。请重新安装本程序。").arg(QDir::toNativeSeparators(places_.helper)));
}

// The helper has told its end, or ended: it is let go.
void DraftProcess::end()
{
    if (!process_)
        return;
    QProcess* process = std::exchange(process_, nullptr);
    process->disconnect(this);
    // It ends of itself once it has told its end; the window does not wait for it.
    if (process->state() == QProcess::NotRunning)
        process->deleteLater();
    else
        connect(process, &QProcess::finished, process, &QObject::deleteLater);
}

} // namespace tavrin
